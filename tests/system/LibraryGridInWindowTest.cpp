#include "support/TempHome.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/wait.h>

namespace fs = std::filesystem;

// The program in its real window on a virtual X display: the library button, a tap on the
// first photo of the grid, the shutter, then the gallery and its remove control. What is
// picked and removed by touch must behave as what a script picks and removes by name.
TEST(LibraryGridInWindow, ATappedPhotoIsPrintedThenRemovedFromTheGalleryByTouch) {
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run is not installed; the window cannot be tried without a display";
    TempHome home;
    // One photo, light on top and dark below, so the grid's photo cell is plainly not empty.
    std::vector<std::uint32_t> argb(400 * 300);
    for (std::size_t i = 0; i < argb.size(); ++i)
        argb[i] = i < argb.size() / 2 ? 0xFFE0C040u : 0xFF203060u;
    fs::create_directories(home.root() / "Pictures");
    ASSERT_TRUE(platform::Image::fromPixels(400, 300, argb)
                    ->writeJpeg(home.root() / "Pictures" / "photo.jpg", 0.9));

    const fs::path grid = home.root() / "grid.png";
    const fs::path picked = home.root() / "picked.png";
    const fs::path gallery = home.root() / "gallery.png";
    TempHome::writeText(
        home.root() / "script.txt",
        "wait 1\ntap 147 335\nwait 1.5\nshot " + grid.string() + "\ntap 120 84\nwait 1.5\nshot " +
            picked.string() + "\nkey space\nwait 4\nkey r\nwait 1\nshot " + gallery.string() +
            // The row's remove control, then OK in its alert.
            "\ntap 274 263\nwait 0.5\nalert 1\nwait 0.5\nkey escape\nwait 1\nquit\n");
    const fs::path err = home.root() / "stderr.txt";
    // SDL leaves libdbus's process-wide state for the process's end, by design. The display
    // numbers start away from those of the other window test, which may run at the same time.
    TempHome::writeText(home.root() / "lsan.supp", "leak:libdbus-1.so\n");
    const std::string command =
        "LSAN_OPTIONS=suppressions=" + (home.root() / "lsan.supp").string() +
        " SDL_AUDIODRIVER=dummy xvfb-run -n 140 -a -s '-screen 0 1024x768x24' " + MORVANE_BINARY +
        " --camera scene --home " + home.root().string() + " --script " +
        (home.root() / "script.txt").string() + " >/dev/null 2>" + err.string();
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << TempHome::readText(err);

    // The grid showed the photo where the tap went, and the library view showed it after.
    const auto gridShot = platform::Image::contentsOfFile(grid);
    const auto pickedShot = platform::Image::contentsOfFile(picked);
    ASSERT_TRUE(gridShot && pickedShot);
    // The album's folder (made at the first start) comes first, the photo beside it.
    EXPECT_NE(gridShot->pixel(120, 60) & 0xffffffu, 0xffffffu);
    EXPECT_NE(gridShot->pixel(120, 60), gridShot->pixel(120, 110));
    // The picture area holds the photo upright: warm above, cool below.
    const auto red = [](std::uint32_t p) { return int(p >> 16 & 0xff); };
    const auto blue = [](std::uint32_t p) { return int(p & 0xff); };
    EXPECT_GT(red(pickedShot->pixel(160, 60)), blue(pickedShot->pixel(160, 60)) + 60);
    EXPECT_GT(blue(pickedShot->pixel(160, 260)), red(pickedShot->pixel(160, 260)) + 30);

    std::size_t album = 0;
    for (const auto& entry : fs::directory_iterator(home.root() / "Pictures" / "Morvane"))
        album += entry.path().extension() == ".jpg";
    EXPECT_EQ(album, 1u);
    // The print was in the gallery, and removed there: list and files agree.
    const auto galleryShot = platform::Image::contentsOfFile(gallery);
    ASSERT_TRUE(galleryShot);
    EXPECT_GT(red(galleryShot->pixel(160, 100)), blue(galleryShot->pixel(160, 100)) + 60);
    const auto list = platform::PropertyList::readFile(home.documents() / "prints.plist");
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->array().empty());
    std::size_t printFiles = 0;
    for (const auto& entry : fs::directory_iterator(home.documents()))
        printFiles += entry.path().extension() == ".jpg";
    EXPECT_EQ(printFiles, 0u);
}
