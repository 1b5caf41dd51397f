#include "platform/ui/InterfaceLoader.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/RunLoop.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/VirtualClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

using namespace platform;
namespace fs = std::filesystem;

namespace {

// A controller that wires itself by name, as the gallery does.
class GalleryController : public ViewController {
public:
    using ViewController::ViewController;
    std::map<std::string, std::shared_ptr<View>> outlets;
    std::vector<std::string> log;
    bool loaded = false;

    void viewDidLoad() override { loaded = true; }
    void connectOutlet(const std::string& name, std::shared_ptr<View> view) override {
        outlets[name] = std::move(view);
    }
    std::function<void()> actionNamed(const std::string& name) override {
        if (name == "doneButtonClicked" || name == "removeAllPrints")
            return [this, name] { log.push_back(name); };
        return nullptr;
    }
};

const char* kGallery = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>class</key><string>View</string>
  <key>frame</key><array><integer>0</integer><integer>0</integer><integer>320</integer><integer>480</integer></array>
  <key>backgroundColor</key><array><real>0.1</real><real>0.1</real><real>0.1</real></array>
  <key>children</key>
  <array>
    <dict>
      <key>class</key><string>ScrollView</string>
      <key>outlet</key><string>scrollArea</string>
      <key>frame</key><array><integer>0</integer><integer>44</integer><integer>320</integer><integer>436</integer></array>
      <key>contentSize</key><array><integer>320</integer><integer>0</integer></array>
      <key>showsHorizontalScrollIndicator</key><false/>
    </dict>
    <dict>
      <key>class</key><string>Button</string>
      <key>frame</key><array><integer>250</integer><integer>0</integer><integer>70</integer><integer>44</integer></array>
      <key>action</key><string>doneButtonClicked</string>
      <key>image</key><string>done</string>
      <key>children</key>
      <array>
        <dict>
          <key>class</key><string>Label</string>
          <key>frame</key><array><integer>0</integer><integer>0</integer><integer>70</integer><integer>44</integer></array>
          <key>text</key><string>Done</string>
          <key>textAlignment</key><string>center</string>
          <key>fontSize</key><real>15</real>
        </dict>
      </array>
    </dict>
    <dict>
      <key>class</key><string>Button</string>
      <key>outlet</key><string>removeAll</string>
      <key>tag</key><integer>5</integer>
      <key>frame</key><array><integer>0</integer><integer>0</integer><integer>100</integer><integer>44</integer></array>
      <key>action</key><string>removeAllPrints</string>
    </dict>
  </array>
</dict>
</plist>
)";

struct Interface : ::testing::Test {
    RunLoop loop{std::make_shared<VirtualClock>()};
    fs::path dir;
    std::string savedResources;
    bool hadResources = false;

    void SetUp() override {
        loop.makeMain();
        dir = fs::temp_directory_path() /
              ("ui-interface-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        if (const char* old = std::getenv("MORVANE_RESOURCES")) {
            hadResources = true;
            savedResources = old;
        }
        setenv("MORVANE_RESOURCES", dir.c_str(), 1);
    }
    void TearDown() override {
        if (hadResources)
            setenv("MORVANE_RESOURCES", savedResources.c_str(), 1);
        else
            unsetenv("MORVANE_RESOURCES");
        fs::remove_all(dir);
    }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name) << text;
    }
};

} // namespace

TEST_F(Interface, LoadsTheTreeAndWiresOutletsAndActions) {
    write("Gallery.ui.plist", kGallery);
    Image::fromPixels(1, 1, {0xFF00FF00})->writePng(dir / "done.png");
    auto controller = std::make_shared<GalleryController>("Gallery");
    EXPECT_FALSE(controller->isViewLoaded());
    auto root = controller->view();
    EXPECT_TRUE(controller->loaded);
    EXPECT_EQ(controller->view(), root); // loaded once
    EXPECT_EQ(root->frame(), (Rect{0, 0, 320, 480}));
    ASSERT_EQ(root->subviews().size(), 3u);

    auto scroll = std::dynamic_pointer_cast<ScrollView>(controller->outlets["scrollArea"]);
    ASSERT_TRUE(scroll);
    EXPECT_EQ(scroll, root->subviews()[0]);
    EXPECT_EQ(scroll->frame(), (Rect{0, 44, 320, 436}));
    EXPECT_FALSE(scroll->showsHorizontalScrollIndicator());

    auto done = std::dynamic_pointer_cast<Button>(root->subviews()[1]);
    ASSERT_TRUE(done);
    ASSERT_TRUE(done->backgroundImage());
    EXPECT_EQ(done->backgroundImage()->pixel(0, 0), 0xFF00FF00u);
    auto label = std::dynamic_pointer_cast<Label>(done->subviews().at(0));
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "Done");
    EXPECT_EQ(label->textAlignment(), TextAlignment::Center);

    done->sendActionsForControlEvents(ControlEvent::TouchUpInside);
    std::dynamic_pointer_cast<Button>(controller->outlets["removeAll"])
        ->sendActionsForControlEvents(ControlEvent::TouchUpInside);
    EXPECT_EQ(controller->log, (std::vector<std::string>{"doneButtonClicked", "removeAllPrints"}));
    EXPECT_EQ(root->viewWithTag(5), controller->outlets["removeAll"]);
}

TEST_F(Interface, MistakesAreNamedAndTheControllerFallsBackToAPlainView) {
    const std::string head = R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0">)";
    const std::map<std::string, std::pair<std::string, std::string>> cases = {
        {"unknown class",
         {"<dict><key>class</key><string>Slider</string></dict>", "unknown class Slider"}},
        {"no class", {"<dict><key>frame</key><array/></dict>", "missing class"}},
        {"short frame",
         {"<dict><key>class</key><string>View</string><key>frame</key><array><integer>1</integer>"
          "</array></dict>",
          "root.frame: expected an array of 4 numbers"}},
        {"typo in a child",
         {"<dict><key>class</key><string>View</string><key>children</key><array><dict><key>class"
          "</key><string>View</string><key>backgroundColour</key><string>red</string></dict>"
          "</array></dict>",
          "children[0].backgroundColour: unknown key for a View"}},
        {"key of another class",
         {"<dict><key>class</key><string>View</string><key>contentSize</key><array/></dict>",
          "unknown key for a View"}},
        {"colour out of range",
         {"<dict><key>class</key><string>View</string><key>backgroundColor</key><array><real>2"
          "</real><real>0</real><real>0</real></array></dict>",
          "colour components go from 0 to 1"}},
        {"not a view", {"<array/>", "expected a dictionary"}},
    };
    for (const auto& [what, c] : cases) {
        write("Broken.ui.plist", head + c.first + "</plist>");
        GalleryController controller("Broken");
        std::string error;
        EXPECT_EQ(InterfaceLoader::loadNamed("Broken", controller, error), nullptr) << what;
        EXPECT_NE(error.find(c.second), std::string::npos) << what << ": " << error;
        EXPECT_TRUE(controller.outlets.empty()) << what;
    }
    write("Garbage.ui.plist", "not a property list at all");
    auto garbage = std::make_shared<GalleryController>("Garbage");
    EXPECT_EQ(garbage->view()->frame(), (Rect{0, 0, 320, 480}));
    EXPECT_TRUE(garbage->loaded);
    auto missing = std::make_shared<GalleryController>("Missing");
    EXPECT_EQ(missing->view()->frame(), (Rect{0, 0, 320, 480}));
}

TEST_F(Interface, AMissingPictureLeavesItsViewEmpty) {
    write("Pictures.ui.plist",
          R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>
          <key>class</key><string>ImageView</string><key>image</key><string>nowhere</string>
          </dict></plist>)");
    GalleryController controller("Pictures");
    std::string error;
    auto view = std::dynamic_pointer_cast<ImageView>(
        InterfaceLoader::loadNamed("Pictures", controller, error));
    ASSERT_TRUE(view) << error;
    EXPECT_EQ(view->image(), nullptr);
}
