#include "InstalledTree.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using namespace install_test;

// The installed desktop files, checked by the tools the desktops and Debian check them with.
class DesktopFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tree_ = new InstalledTree(); }
    static void TearDownTestSuite() {
        delete tree_;
        tree_ = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(tree_->installRun().status, 0) << tree_->installRun().output;
    }

    static InstalledTree* tree_;
};

InstalledTree* DesktopFilesTest::tree_ = nullptr;

TEST_F(DesktopFilesTest, DesktopEntryValidatesAndStartsTheCamera) {
    const fs::path entry =
        tree_->share() / "applications" / (std::string(MORVANE_APP_ID) + ".desktop");
    const std::string text = readText(entry);
    EXPECT_NE(text.find("\nExec=morvane\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=" + std::string(MORVANE_APP_ID) + "\n"), std::string::npos);
    if (!haveTool("desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils)";
    const auto run = runCommand("desktop-file-validate " + quoted(entry));
    EXPECT_EQ(run.status, 0) << run.output;
    // It reports warnings and hints without failing.
    EXPECT_EQ(run.output, "");
}

TEST_F(DesktopFilesTest, MetainfoValidatesAndCarriesThisVersion) {
    const fs::path metainfo =
        tree_->share() / "metainfo" / (std::string(MORVANE_APP_ID) + ".metainfo.xml");
    const std::string text = readText(metainfo);
    const auto version = runCommand(quoted(tree_->program()) + " --version");
    ASSERT_EQ(version.status, 0) << version.output;
    std::smatch release;
    ASSERT_TRUE(std::regex_search(text, release, std::regex("<release version=\"([^\"]+)\"")));
    EXPECT_EQ(version.output, "morvane " + release[1].str() + "\n");
    EXPECT_NE(text.find("<content_rating"), std::string::npos);
    EXPECT_NE(text.find("<launchable type=\"desktop-id\">" + std::string(MORVANE_APP_ID) +
                        ".desktop</launchable>"),
              std::string::npos);
    if (!haveTool("appstreamcli"))
        GTEST_SKIP() << "appstreamcli is not installed (package appstream)";
    const auto run = runCommand("appstreamcli validate --no-net --explain " + quoted(metainfo));
    EXPECT_EQ(run.status, 0) << run.output;
    // Errors fail the run; warnings only show in the report, as "W:" lines.
    EXPECT_EQ(run.output.find("\nW:"), std::string::npos) << run.output;
    EXPECT_NE(run.output.rfind("W:", 0), 0u) << run.output;
}

TEST_F(DesktopFilesTest, ManualPagesRenderWithoutWarnings) {
    if (!haveTool("man"))
        GTEST_SKIP() << "man is not installed (package man-db)";
    for (const char* page : {"morvane.1.gz", "morvane-print.1.gz", "morvane-defaults.1.gz"}) {
        const fs::path path = tree_->share() / "man" / "man1" / page;
        ASSERT_TRUE(fs::is_regular_file(path)) << path;
        // As lintian reads them: every groff warning on, at a terminal's width.
        const auto run = runCommand("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "
                                    "-Z " +
                                    quoted(path) + " >/dev/null");
        EXPECT_EQ(run.status, 0) << page << run.output;
        EXPECT_EQ(run.output, "") << page;
        const auto shown = runCommand("MANWIDTH=80 man -l " + quoted(path) + " | col -b");
        EXPECT_NE(shown.output.find("SYNOPSIS"), std::string::npos) << page << shown.output;
    }
}

} // namespace
