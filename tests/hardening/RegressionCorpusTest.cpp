// Every input a fuzzer ever caught, and the hand-made hostile files kept beside them, replayed
// through the same entry points and the same checks as the fuzzers use.
#include "hardening/ImageCheck.h"
#include "hardening/PropertyListCheck.h"
#include "hardening/ScriptCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace {

// From the source tree named at build time: __FILE__ is relative under a compiler cache.
const fs::path kRegressions = fs::path(MORVANE_SOURCE_DIR) / "fuzz" / "regressions";

using Check = std::function<std::string(const std::uint8_t*, std::size_t)>;

void replay(const std::string& reader, const Check& check) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kRegressions / reader)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    // An empty or missing folder would make this test pass while replaying nothing.
    ASSERT_FALSE(files.empty()) << "no regression inputs in " << kRegressions / reader;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        EXPECT_EQ(check(bytes.data(), bytes.size()), "") << file.filename();
    }
}

} // namespace

TEST(RegressionCorpus, PropertyLists) {
    replay("property_list", hardening::checkPropertyList);
}

TEST(RegressionCorpus, Scripts) {
    replay("script", hardening::checkScript);
}

TEST(RegressionCorpus, Pictures) {
    replay("image", hardening::checkImage);
}
