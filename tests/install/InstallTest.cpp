#include "InstalledTree.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

namespace {

using namespace install_test;
using platform::Image;

// The files below a folder, as paths relative to it, leaving out the build's stamp files.
std::set<std::string> filesBelow(const fs::path& folder) {
    std::set<std::string> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(folder, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (it->is_regular_file() && !name.starts_with("."))
            files.insert(fs::relative(it->path(), folder).string());
    }
    return files;
}

// How many different colours a row of the picture has: a blank area has one.
int coloursInRow(const Image& image, int y) {
    std::set<std::uint32_t> colours;
    for (int x = 0; x < image.pixelWidth(); ++x)
        colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

class InstallTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { tree_ = new InstalledTree(); }
    static void TearDownTestSuite() {
        delete tree_;
        tree_ = nullptr;
    }

    // The program at `program`, headless on the built-in scene, started from a folder of its
    // own so nothing can be found relative to the working directory, with no override of the
    // resource folder.
    static CommandResult runHeadless(const fs::path& program, const fs::path& home,
                                     const std::string& script) {
        TemporaryFolder elsewhere;
        const std::string command = "cd " + quoted(elsewhere.path()) + " && printf '" + script +
                                    "' | env -u MORVANE_RESOURCES -u MORVANE_HOME " +
                                    quoted(program) + " --headless --camera scene --home " +
                                    quoted(home);
        return runCommand(command);
    }

    static InstalledTree* tree_;
};

InstalledTree* InstallTest::tree_ = nullptr;

TEST_F(InstallTest, InstallsTheProgramWithEveryResourceTheBuildHas) {
    ASSERT_EQ(tree_->installRun().status, 0) << tree_->installRun().output;
    EXPECT_TRUE(fs::is_regular_file(tree_->program()));
    // The tests run on the build's resource folder; one the install forgot would pass every
    // other test and still leave the installed camera half drawn.
    const auto built = filesBelow(MORVANE_RESOURCE_DIR);
    const auto installed = filesBelow(tree_->share() / "morvane");
    ASSERT_FALSE(built.empty());
    EXPECT_EQ(installed, built);
}

TEST_F(InstallTest, InstalledProgramMakesAPrintAndShowsTheGallery) {
    ASSERT_EQ(tree_->installRun().status, 0) << tree_->installRun().output;
    TemporaryFolder home;
    const fs::path print = home.path() / "print.png";
    const fs::path gallery = home.path() / "gallery.png";
    const auto run = runHeadless(tree_->program(), home.path(),
                                 "key space\\nwait 5\\nshot " + print.string() +
                                     "\\nkey r\\nwait 1\\nshot " + gallery.string() + "\\n");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(run.output.find("no resource"), std::string::npos) << run.output;

    // The full-size print in the album, its two files and its entry in the print list.
    const auto album = filesBelow(home.path() / "Pictures" / "Morvane");
    EXPECT_EQ(album.size(), 1u);
    const auto list = platform::PropertyList::readFile(home.path() / "Documents" / "prints.plist");
    ASSERT_TRUE(list.has_value());
    ASSERT_TRUE(list->isArray());
    EXPECT_EQ(list->size(), 1u);

    // Both screens are drawn from the installed pictures and interface files, not left blank:
    // the camera's lower half (skin, buttons, film strip) and the gallery's bar and print.
    const std::tuple<fs::path, int, int, int> screens[] = {{print, 320, 480, 120},
                                                           {gallery, 0, 320, 200}};
    for (const auto& [shot, top, bottom, least] : screens) {
        const auto image = Image::contentsOfFile(shot);
        ASSERT_TRUE(image) << shot;
        EXPECT_EQ(image->pixelWidth(), 320);
        EXPECT_EQ(image->pixelHeight(), 480);
        int drawnRows = 0;
        for (int y = top; y < bottom; ++y)
            drawnRows += coloursInRow(*image, y) > 2 ? 1 : 0;
        EXPECT_GE(drawnRows, least) << shot;
    }
}

TEST_F(InstallTest, ProgramWithoutItsResourcesSaysWhereItLookedAndStops) {
    ASSERT_EQ(tree_->installRun().status, 0) << tree_->installRun().output;
    TemporaryFolder copy;
    fs::create_directories(copy.path() / "bin");
    fs::copy_file(tree_->program(), copy.path() / "bin" / "morvane");
    TemporaryFolder home;
    const fs::path shot = home.path() / "shot.png";
    const auto run = runHeadless(copy.path() / "bin" / "morvane", home.path(),
                                 "key space\\nwait 5\\nshot " + shot.string() + "\\n");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find((copy.path() / "share" / "morvane").string()), std::string::npos)
        << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    EXPECT_FALSE(fs::exists(shot));
}

TEST_F(InstallTest, InstallsTheDesktopEntryIconsManualAndCompletion) {
    ASSERT_EQ(tree_->installRun().status, 0) << tree_->installRun().output;
    const fs::path share = tree_->share();
    const std::string id = MORVANE_APP_ID;
    EXPECT_TRUE(fs::is_regular_file(share / "applications" / (id + ".desktop")));
    EXPECT_TRUE(fs::is_regular_file(share / "metainfo" / (id + ".metainfo.xml")));
    for (int side : {16, 24, 32, 48, 64, 128, 256, 512}) {
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        const auto icon =
            Image::contentsOfFile(share / "icons" / "hicolor" / size / "apps" / (id + ".png"));
        ASSERT_TRUE(icon) << size;
        EXPECT_EQ(icon->pixelWidth(), side);
        EXPECT_EQ(icon->pixelHeight(), side);
    }
    const std::string svg =
        readText(share / "icons" / "hicolor" / "scalable" / "apps" / (id + ".svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("viewBox=\"0 0 64 64\""), std::string::npos);
    for (const char* page : {"morvane.1.gz", "morvane-print.1.gz", "morvane-defaults.1.gz"})
        EXPECT_TRUE(fs::is_regular_file(share / "man" / "man1" / page)) << page;
    EXPECT_TRUE(fs::is_regular_file(share / "bash-completion" / "completions" / "morvane"));
    EXPECT_TRUE(fs::is_regular_file(share / "doc" / "morvane" / "copyright"));
}

} // namespace
