#include "shell/HeadlessDemo.h"

#include "platform/camera/SceneCameraSource.h"

#include <cstdlib>
#include <sstream>
#include <system_error>

namespace {

// From a press to the print coming out under the closed shutter, and from there until it has
// dropped away and the camera is back: a library print, the slowest, takes about 3.5 s.
constexpr const char* kPrintShown = "wait 0.5";
constexpr const char* kPrintGone = "wait 3.5";

} // namespace

std::filesystem::path HeadlessDemo::photo(const std::filesystem::path& folder) {
    return folder / "Pictures" / "demo-photo.jpg";
}

std::filesystem::path HeadlessDemo::shots(const std::filesystem::path& folder) {
    return folder / "shots";
}

std::optional<std::filesystem::path> HeadlessDemo::prepare(std::string& error) {
    std::error_code code;
    std::filesystem::path base = std::filesystem::temp_directory_path(code);
    if (code)
        base = "/tmp";
    std::string pattern = (base / "morvane-demo-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        error = "cannot make a folder for the demo under " + base.string();
        return std::nullopt;
    }
    const std::filesystem::path folder = pattern;
    for (const auto& inside : {shots(folder), photo(folder).parent_path()}) {
        if (!std::filesystem::create_directories(inside, code) || code) {
            error = "cannot make " + inside.string() + ": " + code.message();
            return std::nullopt;
        }
    }
    // A still of the built-in scene a moment in, where its figures have moved from their
    // first places, stands in for a photograph of the user's.
    platform::SceneCameraSource scene;
    const platform::ImageRef still = scene.stillFrame(2.5);
    if (!still || !still->writeJpeg(photo(folder), 0.9)) {
        error = "cannot write the demo's photograph " + photo(folder).string();
        return std::nullopt;
    }
    return folder;
}

std::string HeadlessDemo::script(const std::filesystem::path& folder) {
    const std::filesystem::path out = shots(folder);
    std::ostringstream s;
    const auto shot = [&](const std::string& name) {
        s << "shot " << (out / name).string() << "\n";
    };
    // A press, the print shown where it lies out of the slot, then the rest of its time.
    const auto print = [&](const std::string& name) {
        s << "key space\n" << kPrintShown << "\n";
        shot(name);
        s << kPrintGone << "\n";
    };
    const auto keys = [&](const std::string& key, int times) {
        for (int i = 0; i < times; ++i)
            s << "key " << key << "\nwait 0.5\n";
    };
    s << "wait 1\n";
    shot("01-camera.png");
    s << "key space\nwait 0.2\n";
    shot("02-developing.png");
    s << kPrintGone << "\n";
    keys("right", 2);
    print("03-third-look-print.png");
    keys("right", 4);
    keys("down", 1);
    print("04-seventh-look-print.png");
    s << "key l\nwait 1\npick " << photo(folder).string() << "\nwait 1\n";
    shot("05-library-photo.png");
    print("06-library-print.png");
    s << "key c\nwait 1\nkey r\nwait 1\n";
    shot("07-gallery.png");
    s << "key escape\nwait 1\nquit\n";
    return s.str();
}
