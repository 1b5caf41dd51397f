#include "prints/PrintStore.h"
#include "support/TempHome.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

std::size_t filesIn(const fs::path& folder, const std::string& extension) {
    std::size_t n = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        n += entry.path().extension() == extension;
    return n;
}

} // namespace

// A first start where there is no display: one line says so and names a folder, and the demo
// leaves its shots and prints there, and nowhere else.
TEST(FirstRunDemo, WithoutADisplayTheDemoRunsHeadlessInAFolderItNames) {
    TempHome home;
    const fs::path temporary = home.root() / "tmp";
    fs::create_directories(temporary);
    const fs::path err = home.root() / "stderr.txt";
    const std::string command =
        "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER TMPDIR=" + temporary.string() + " " +
        MORVANE_BINARY + " --camera scene </dev/null >/dev/null 2>" + err.string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    const std::string said = TempHome::readText(err);
    EXPECT_EQ(WEXITSTATUS(status), 0) << said;

    std::smatch named;
    ASSERT_TRUE(std::regex_search(said, named, std::regex("prints go to (\\S+)\n"))) << said;
    const fs::path folder = named[1].str();
    EXPECT_EQ(folder.parent_path(), temporary);
    // The announcement and the closing lines with where everything went; nothing else.
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 6) << said;

    EXPECT_EQ(filesIn(folder / "shots", ".png"), 7u);
    const auto gallery = platform::Image::contentsOfFile(folder / "shots" / "07-gallery.png");
    ASSERT_TRUE(gallery);
    EXPECT_EQ(gallery->pixelWidth(), 320);

    // Three camera prints and one library print, each in the album and the list.
    EXPECT_EQ(filesIn(folder / "Pictures" / "Morvane", ".jpg"), 4u);
    const auto list = platform::PropertyList::readFile(folder / "Documents" / "prints.plist");
    ASSERT_TRUE(list);
    ASSERT_EQ(list->array().size(), 4u);
    for (const auto& entry : list->array()) {
        const std::string name = PrintStore::printName(entry);
        EXPECT_TRUE(fs::exists(folder / "Documents" / name)) << name;
        EXPECT_TRUE(fs::exists(folder / "Documents" / ("big_" + name))) << name;
    }
    // The user's own home is left alone.
    EXPECT_FALSE(fs::exists(home.documents()));
}
