#include "quarvex/graphcore/kmt_template.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
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
