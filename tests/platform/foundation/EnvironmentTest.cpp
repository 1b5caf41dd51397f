#include "platform/foundation/Bundle.h"
#include "platform/foundation/Directories.h"
#include "platform/foundation/HardwareModel.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

namespace {

using platform::Bundle;
using platform::Directories;
using platform::HardwareModel;
using testing_support::ScopedEnvironment;
using testing_support::TemporaryFolder;
using testing_support::writeText;

TEST(Directories, MorvaneHomeMovesEverything) {
    TemporaryFolder folder;
    ScopedEnvironment home("MORVANE_HOME", folder.path().string());
    ScopedEnvironment data("XDG_DATA_HOME", (folder / "ignored").string());
    EXPECT_EQ(Directories::documentsDirectory(), folder / "Documents");
    EXPECT_EQ(Directories::preferencesFile(), folder / "preferences.plist");
    EXPECT_EQ(Directories::photoLibraryDirectory(), folder / "Pictures");
    EXPECT_EQ(Directories::photoAlbumDirectory("Holiday"), folder / "Pictures" / "Holiday");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Documents"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Pictures" / "Holiday"));
    EXPECT_FALSE(std::filesystem::exists(folder / "ignored"));
}

TEST(Directories, XdgFoldersWithoutMorvaneHome) {
    TemporaryFolder folder;
    ScopedEnvironment morvane("MORVANE_HOME", std::nullopt);
    ScopedEnvironment home("HOME", (folder / "user").string());
    ScopedEnvironment data("XDG_DATA_HOME", (folder / "data").string());
    ScopedEnvironment config("XDG_CONFIG_HOME", (folder / "config").string());
    std::filesystem::create_directories(folder / "config");

    EXPECT_EQ(Directories::documentsDirectory(), folder / "data" / "morvane" / "Documents");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "data" / "morvane" / "Documents"));
    EXPECT_EQ(Directories::preferencesFile(), folder / "config" / "morvane" / "preferences.plist");
    EXPECT_EQ(Directories::photoLibraryDirectory(), folder / "user" / "Pictures");

    writeText(folder / "config" / "user-dirs.dirs", "# written by the user-dirs tool\n"
                                                    "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                                    "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
    EXPECT_EQ(Directories::photoLibraryDirectory(), folder / "user" / "Bilder");
    EXPECT_EQ(Directories::photoAlbumDirectory("Holiday"), folder / "user" / "Bilder" / "Holiday");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "user" / "Bilder" / "Holiday"));

    writeText(folder / "config" / "user-dirs.dirs",
              "XDG_PICTURES_DIR=\"" + (folder / "photos").string() + "\"\n");
    EXPECT_EQ(Directories::photoLibraryDirectory(), folder / "photos");

    // Relative XDG values are not to be trusted; the defaults below home apply.
    ScopedEnvironment relativeData("XDG_DATA_HOME", "relative/data");
    ScopedEnvironment relativeConfig("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(Directories::documentsDirectory(),
              folder / "user" / ".local" / "share" / "morvane" / "Documents");
    EXPECT_EQ(Directories::preferencesFile(),
              folder / "user" / ".config" / "morvane" / "preferences.plist");
    EXPECT_EQ(Directories::photoLibraryDirectory(), folder / "user" / "Pictures");
}

TEST(Bundle, FindsOnlyExistingResourcesInsideItsFolder) {
    TemporaryFolder folder;
    std::filesystem::create_directories(folder / "resources" / "sub");
    writeText(folder / "resources" / "config.plist", "x");
    writeText(folder / "resources" / "README", "x");
    writeText(folder / "secret.plist", "x");
    std::filesystem::create_directory(folder / "resources" / "folder.png");
    ScopedEnvironment resources("MORVANE_RESOURCES", (folder / "resources").string());

    const Bundle bundle = Bundle::main();
    EXPECT_EQ(bundle.resourceDirectory(), folder / "resources");
    EXPECT_EQ(bundle.pathForResource("config", "plist"), folder / "resources" / "config.plist");
    EXPECT_EQ(bundle.pathForResource("README", ""), folder / "resources" / "README");
    EXPECT_FALSE(bundle.pathForResource("prints", "plist").has_value());
    EXPECT_FALSE(bundle.pathForResource("folder", "png").has_value());
    EXPECT_FALSE(bundle.pathForResource("../secret", "plist").has_value());
    EXPECT_FALSE(bundle.pathForResource("sub/../config", "plist").has_value());
    EXPECT_FALSE(bundle.pathForResource("config", "/../../secret.plist").has_value());
    EXPECT_FALSE(bundle.pathForResource("", "plist").has_value());
    EXPECT_FALSE(bundle.pathForResource(std::string("config\0x", 8), "plist").has_value());
}

TEST(HardwareModel, ChosenModelElseTheMachineName) {
    {
        ScopedEnvironment model("MORVANE_MODEL", "iPhone1,2");
        EXPECT_EQ(HardwareModel::current(), "iPhone1,2");
    }
    {
        ScopedEnvironment model("MORVANE_MODEL", "");
        EXPECT_EQ(HardwareModel::current(), "");
    }
    ScopedEnvironment model("MORVANE_MODEL", std::nullopt);
    utsname names{};
    ASSERT_EQ(::uname(&names), 0);
    EXPECT_EQ(HardwareModel::current(), names.machine);
}

} // namespace
