#include "quarvex/graphcore/kmt_template.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <ios>
#include <sstream>
#include <string>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using graphcore::ParseTemplate;
using graphcore::ReadTemplateFile;
using graphcore::TemplateReadStatus;

graphcore::TemplateReadResult Parse(const std::string& text, int fields) {
    std::istringstream in(text);
    return ParseTemplate(in, fields);
}

TEST(KmtTemplate, ReadsRecordsAcrossLinesBlanksAndCommas) {
    const auto r = Parse("0,50,50,100,0,0\r\n20 0 0\n20,0,100\n\n   \n", 6);
    ASSERT_EQ(r.status, TemplateReadStatus::Ok) << r.detail;
    ASSERT_EQ(r.segments.size(), 2u);
    EXPECT_EQ(r.segments[0].fields, (std::array<int16_t, 6>{0, 50, 50, 100, 0, 0}));
    EXPECT_EQ(r.segments[1].fields, (std::array<int16_t, 6>{20, 0, 0, 20, 0, 100}));

    // XY records of four, negative coordinates allowed, halves to even.
    const auto xy = Parse("-10, 2.5 ,3.5,32767\n", 4);
    ASSERT_EQ(xy.status, TemplateReadStatus::Ok) << xy.detail;
    EXPECT_EQ(xy.segments[0].fields[0], -10);
    EXPECT_EQ(xy.segments[0].fields[1], 2);
    EXPECT_EQ(xy.segments[0].fields[2], 4);
    EXPECT_EQ(xy.segments[0].fields[3], 32767);

    // An empty file, or one of blanks only, is a template without segments.
    EXPECT_EQ(Parse("", 6).status, TemplateReadStatus::Ok);
    EXPECT_TRUE(Parse(" \r\n\r\n\t", 4).segments.empty());
    EXPECT_EQ(Parse(std::string(1 << 20, ' ') + "1,2,3,4", 4).segments.size(), 1u);
}

// The program runs under the user's locale (Qt sets it from LANG); a
// decimal comma there must not cut "2.6" to 2 or "1.5e3" to 1.
TEST(KmtTemplate, ReadsDecimalsWithAPointUnderADecimalCommaLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale is not installed";
    const auto r = Parse("-10, 2.6 ,3.5,1.5e3\n", 4);
    const auto comma = Parse("2,6,1e-400,1\n", 4);  // commas only ever separate fields
    std::setlocale(LC_ALL, before.c_str());
    ASSERT_EQ(r.status, TemplateReadStatus::Ok) << r.detail;
    EXPECT_EQ(r.segments[0].fields, (std::array<int16_t, 6>{-10, 3, 4, 1500, 0, 0}));
    ASSERT_EQ(comma.segments.size(), 1u);
    EXPECT_EQ(comma.segments[0].fields, (std::array<int16_t, 6>{2, 6, 0, 1, 0, 0}));
    EXPECT_EQ(Parse("1e400,1,1,1\n", 4).status, TemplateReadStatus::FormatError);
}

TEST(KmtTemplate, RefusesEverythingThatIsNotWholeRecordsOfIntegers) {
    const std::string bad[] = {
        "1,2,3,4,5\n",                              // five fields of a ternary record
        "1,2,3,4,5,6,7\n",                          // a second record cut short
        "1,2,x,4,5,6\n",                            // letters
        "1,2,3,4,5,32768\n",                        // past 16 bits
        "1,2,3,4,5,-32769\n",
        "1,-2,3,4,5,6\n",                           // a negative composition
        std::string("1,2,\0\x01\xff,4,5,6", 13),    // binary
        std::string(1 << 20, '7') + ",1,1,1,1,1",   // a 1 MB field
        "1e,2,3,4,5,6",
    };
    for (const auto& text : bad) {
        const auto r = Parse(text, 6);
        EXPECT_EQ(r.status, TemplateReadStatus::FormatError) << text.substr(0, 40);
        EXPECT_TRUE(r.segments.empty());
    }
    EXPECT_EQ(Parse("1,2,3\n", 4).status, TemplateReadStatus::FormatError);

    std::string many;
    for (int i = 0; i <= graphcore::kMaxTemplateSegments; ++i) many += "1,2,3,4\n";
    EXPECT_EQ(Parse(many, 4).status, TemplateReadStatus::FormatError);
}

TEST(KmtTemplate, ReportsFilesThatCannotBeRead) {
    const auto dir = std::filesystem::temp_directory_path() / ("kmt_test_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    EXPECT_EQ(ReadTemplateFile((dir / "missing.kmt").string(), 6).status, TemplateReadStatus::AccessError);
    EXPECT_EQ(ReadTemplateFile(dir.string(), 6).status, TemplateReadStatus::AccessError);

    const auto good = dir / "good.kmt";
    std::ofstream(good) << "0,50,50,100,0,0\n";
    EXPECT_EQ(ReadTemplateFile(good.string(), 6).segments.size(), 1u);
    if (geteuid() != 0) {
        chmod(good.c_str(), 0);
        EXPECT_EQ(ReadTemplateFile(good.string(), 6).status, TemplateReadStatus::AccessError);
    }
    std::filesystem::remove_all(dir);
}

// What a file stream's buffer does when the disk read fails.
class FailingBuf : public std::streambuf {
protected:
    int_type underflow() override {
        if (served_) throw std::ios_base::failure("read error");
        served_ = true;
        setg(text_, text_, text_ + 8);
        return traits_type::to_int_type(text_[0]);
    }

private:
    char text_[9] = "1,2,3,4\n";
    bool served_ = false;
};

TEST(KmtTemplate, PipesDevicesAndFailedReadsAreReadErrorsAtOnce) {
    const auto dir = std::filesystem::temp_directory_path() / ("kmt_pipe_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const auto pipe = dir / "pipe.kmt";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // No writer: reading it the ordinary way would wait for ever.
    EXPECT_EQ(ReadTemplateFile(pipe.string(), 4).status, TemplateReadStatus::ReadError);
    EXPECT_EQ(ReadTemplateFile("/dev/zero", 4).status, TemplateReadStatus::ReadError);
    std::filesystem::remove_all(dir);

    FailingBuf buf;
    std::istream in(&buf);
    const auto r = ParseTemplate(in, 4);
    EXPECT_EQ(r.status, TemplateReadStatus::ReadError);
    EXPECT_TRUE(r.segments.empty());
}

TEST(KmtTemplate, PlacesTernaryCompositionsOnTheFrame) {
    auto p = graphcore::TernaryTemplatePoint(0, 50, 50);
    EXPECT_FLOAT_EQ(p.x, 50);
    EXPECT_FLOAT_EQ(p.y, 0);
    p = graphcore::TernaryTemplatePoint(100, 0, 0);
    EXPECT_FLOAT_EQ(p.x, 50);
    EXPECT_FLOAT_EQ(p.y, 100);
    p = graphcore::TernaryTemplatePoint(20, 0, 0);  // left edge
    EXPECT_FLOAT_EQ(p.x, 10);
    EXPECT_FLOAT_EQ(p.y, 20);
    p = graphcore::TernaryTemplatePoint(20, 0, 100);
    EXPECT_FLOAT_EQ(p.x, 90);
    // Left plus right past 32767 still gives their ratio.
    p = graphcore::TernaryTemplatePoint(0, 30000, 30000);
    EXPECT_FLOAT_EQ(p.x, 50);
}

}  // namespace
