// The camera program started on lists that were tampered with, or with a hostile script: it
// must come up (or refuse the script) cleanly, touch nothing outside its Documents directory,
// and leave sound lists behind.
#include "hardening/BinaryPropertyList.h"
#include "support/ScriptedCamera.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <cstdlib>

using platform::PropertyList;
namespace fs = std::filesystem;

namespace {

class HostileStart : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(documents()); }

    fs::path home() const { return camera_.home().root(); }
    fs::path documents() const { return camera_.home().documents(); }

    static void write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static std::string entry(const std::string& name) {
        return "<array><string>" + name + "</string><date>2024-05-01T10:00:00Z</date></array>";
    }
    static std::string xmlList(const std::string& body) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
               "</plist>\n";
    }

    // Opens the gallery, which reads every listed print, and quits, which writes both lists.
    int runCamera(const std::string& script = "key r\nwait 1\nkey escape\nwait 1\nquit\n") {
        const int status = camera_.runScript(script);
        errors_ = camera_.errors();
        return status;
    }

    // Both lists as the camera left them must read back as arrays.
    void expectSoundLists() {
        const auto config = PropertyList::readFile(documents() / "config.plist");
        ASSERT_TRUE(config && config->isArray());
        EXPECT_GE(config->size(), 9u);
        const auto prints = PropertyList::readFile(documents() / "prints.plist");
        ASSERT_TRUE(prints && prints->isArray());
    }

    ScriptedCamera camera_;
    std::string errors_;
};

TEST_F(HostileStart, PrintNamesReachingOutsideDocumentsAreDroppedAndTouchNothing) {
    std::vector<std::uint32_t> pixels(8 * 8, 0xff208040u);
    const auto picture = platform::Image::fromPixels(8, 8, pixels);
    // Real pictures where "../x.jpg" and an absolute name point, so that reading them would
    // show and deleting them would be seen.
    const fs::path beside = home() / "x.jpg";
    const fs::path absolute = home() / "victim.jpg";
    for (const auto& path : {beside, absolute, documents() / "1.jpg", documents() / "big_1.jpg"}) {
        ASSERT_TRUE(picture->writeJpeg(path, 1.0));
    }
    const std::string before = read(beside);
    write(documents() / "prints.plist",
          xmlList("<array>" + entry("../x.jpg") + entry(absolute.string()) + entry("1.jpg") +
                  entry("..") + "</array>"));

    ASSERT_EQ(runCamera(), 0) << errors_;
    EXPECT_EQ(read(beside), before);
    EXPECT_EQ(read(absolute), before);
    expectSoundLists();
    const auto prints = PropertyList::readFile(documents() / "prints.plist");
    ASSERT_EQ(prints->size(), 1u);
    EXPECT_EQ((*prints)[0][0].stringValue(), "1.jpg");
    EXPECT_TRUE(fs::exists(documents() / "big_1.jpg"));
}

TEST_F(HostileStart, UnreadableListsStartTheCameraOnSoundOnes) {
    std::string nested = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < 1'000'000; ++i) {
        nested += "<array>";
    }
    hardening::BinaryPropertyList doubling;
    for (std::uint32_t i = 0; i < 40; ++i) {
        doubling.add(hardening::BinaryPropertyList::array({i + 1, i + 1}));
    }
    doubling.add(hardening::BinaryPropertyList::string("1.jpg"));

    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"nested a million deep, and shared into billions of values", nested, doubling.bytes()},
        {"a name holding a NUL", xmlList("<array><string>0</string></array>"),
         xmlList("<array>" + entry("1.jpg&#0;/../../x.jpg") + "</array>")},
        {"not lists at all", "\xff\xd8\xff\xe0 a picture, perhaps", std::string(100, '\0')},
    };
    for (const auto& [name, config, prints] : cases) {
        SCOPED_TRACE(name);
        write(documents() / "config.plist", config);
        write(documents() / "prints.plist", prints);
        ASSERT_EQ(runCamera(), 0) << errors_;
        expectSoundLists();
    }
}

TEST_F(HostileStart, AMegabyteScriptLineStopsTheProgramBeforeItStarts) {
    const std::string megabyte(1 << 20, 'x');
    const std::vector<std::pair<std::string, std::string>> scripts = {
        {"between commands", "key r\n" + megabyte + "\nquit\n"},
        {"without an end of line", "key r\n" + megabyte},
        {"of NUL bytes", "key r\n" + std::string(1 << 20, '\0') + "\n"},
    };
    for (const auto& [name, script] : scripts) {
        SCOPED_TRACE(name);
        fs::remove_all(documents());
        ASSERT_EQ(runCamera(script), 2);
        EXPECT_EQ(errors_, "script:2: line longer than 65536 bytes\n");
        // Refused before launch: not even the Documents directory was made.
        EXPECT_FALSE(fs::exists(documents()));
    }
}

} // namespace
