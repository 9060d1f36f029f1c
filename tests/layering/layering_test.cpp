// Arrows point down: a folder includes only folders below it in its
// program's order, and the two programs never include each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Lowest first. The widget-free cores include nothing of the program, so
// they sit below the runtime; program state may hold their value types.
const std::vector<std::string> kQuarvexLayers = {
    "norm",    "classify",      "overlays",  "graphcore",   "runtime",  "state",    "sheets",
    "normsheet", "classifysheet", "graph",   "overlaydraw", "printing", "frame",    "main.cpp",
};
const std::vector<std::string> kMovalticLayers = {"imaging", "formats", "pipeline", "ui", "main.cpp"};

// The widget-free cores link no Qt, so they include none of its headers.
const std::vector<std::string> kQtFreeFolders = {"norm", "classify", "overlays", "graphcore"};

int rankOf(const std::vector<std::string>& layers, const std::string& folder) {
    const auto it = std::find(layers.begin(), layers.end(), folder);
    return it == layers.end() ? -1 : static_cast<int>(it - layers.begin());
}

struct Include {
    std::string file;
    int line;
    std::string target;
};

std::vector<Include> includesOf(const fs::path& file) {
    static const std::regex pattern(R"(^\s*#\s*include\s*["<]([^">]+)[">])");
    std::vector<Include> found;
    std::ifstream in(file);
    std::string text;
    for (int line = 1; std::getline(in, text); ++line) {
        std::smatch m;
        if (std::regex_search(text, m, pattern)) found.push_back({file.string(), line, m[1]});
    }
    return found;
}

bool isSource(const fs::path& p) {
    const std::string ext = p.extension().string();
    return ext == ".cpp" || ext == ".h";
}

// "<program>/<folder>/..." -> folder; a file at the program's top is its own layer.
std::string folderOf(const fs::path& relative) {
    auto it = relative.begin();
    ++it;
    return it == relative.end() ? std::string() : it->string();
}

void checkProgram(const std::string& program, const std::string& other, const std::vector<std::string>& layers) {
    const fs::path root = fs::path(SOURCE_DIR);
    ASSERT_TRUE(fs::is_directory(root / program));
    int files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root / program)) {
        if (!entry.is_regular_file() || !isSource(entry.path())) continue;
        ++files;
        const fs::path rel = fs::relative(entry.path(), root);
        const std::string folder = folderOf(rel);
        const int own = rankOf(layers, folder);
        EXPECT_GE(own, 0) << rel << ": folder '" << folder << "' has no place in the layer order";
        const bool qtFree = std::find(kQtFreeFolders.begin(), kQtFreeFolders.end(), folder) != kQtFreeFolders.end();
        for (const Include& inc : includesOf(entry.path())) {
            EXPECT_NE(inc.target.rfind(other + "/", 0), 0u)
                << inc.file << ":" << inc.line << " includes the other program: " << inc.target;
            if (program == "quarvex" && qtFree) {
                EXPECT_NE(inc.target.rfind("Q", 0), 0u)
                    << inc.file << ":" << inc.line << " is widget-free but includes " << inc.target;
            }
            if (inc.target.rfind(program + "/", 0) != 0) continue;
            const std::string target = folderOf(fs::path(inc.target));
            const int theirs = rankOf(layers, target);
            EXPECT_GE(theirs, 0) << inc.file << ":" << inc.line << " includes unknown folder " << inc.target;
            EXPECT_LE(theirs, own) << inc.file << ":" << inc.line << " (" << folder << ") includes "
                                   << inc.target << ", a layer above it";
        }
    }
    EXPECT_GT(files, 10);
}

}  // namespace

TEST(Layering, QuarvexIncludesPointDown) { checkProgram("quarvex", "movaltic", kQuarvexLayers); }

TEST(Layering, MovalticIncludesPointDown) { checkProgram("movaltic", "quarvex", kMovalticLayers); }
