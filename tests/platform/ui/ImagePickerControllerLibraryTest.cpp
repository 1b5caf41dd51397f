#include "platform/ui/ImagePickerController.h"

#include "platform/ui/PhotoGridView.h"
#include "platform/ui/PhotoLibraryView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ThumbnailLoader.h"

#include "PickerTestSupport.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace platform;
using namespace pickertest;
using namespace testpictures;

namespace {

struct Chooser : ImagePickerControllerDelegate {
    std::vector<ImageRef> pictures;
    void imagePickerControllerDidFinishPickingMediaWithInfo(ImagePickerController&,
                                                            const MediaInfo& info) override {
        pictures.push_back(info.at(kImagePickerControllerOriginalImage));
    }
};

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

// Sets a file's modification time, seconds after an arbitrary moment.
void age(const std::filesystem::path& path, int seconds) {
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type(std::chrono::seconds(1'600'000'000 + seconds)));
}

// A JPEG with only an orientation entry in its EXIF block, as a phone writes it.
void writeJpegWithFlag(const Image& stored, int flag, const std::filesystem::path& file) {
    std::vector<std::uint8_t> jpeg = stored.jpegData(0.9);
    // clang-format off
    const std::vector<std::uint8_t> app1 = {
        0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,
        'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,
        0x00, 0x01,
        0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01,
        0x00, static_cast<std::uint8_t>(flag), 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00};
    // clang-format on
    jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()),
               static_cast<std::streamsize>(jpeg.size()));
}

struct LibraryPicker : ::testing::Test {
    TemporaryHome home{"library"};
    VirtualScreen screen;
    std::shared_ptr<Chooser> chooser = std::make_shared<Chooser>();
    std::shared_ptr<ImagePickerController> picker = std::make_shared<ImagePickerController>();
    std::shared_ptr<ViewController> owner = std::make_shared<ViewController>();

    void SetUp() override {
        // The album is the application's: a folder of its name in the pictures folder.
        screen.app.setName("Holiday");
        picker->setSourceType(ImagePickerController::SourceType::PhotoLibrary);
        picker->setDelegate(chooser);
        picker->setAllowsEditing(false);
        screen.window->addSubview(owner->view());
    }
    std::filesystem::path pictures() const { return home.pictures(); }
    void open() {
        owner->presentModalViewController(picker, true);
        screen.run(0.5);
    }
    std::vector<std::string> listedNames() const {
        std::vector<std::string> names;
        for (const auto& photo : picker->libraryView()->photos())
            names.push_back(std::filesystem::relative(photo.path, pictures()).string());
        return names;
    }
    // The centre of grid cell `index` on the screen, with the grid at the top.
    Point cellCentre(int index) const {
        const double cell = PhotoGridView::kCellSize;
        return {(index % 4) * cell + cell / 2,
                PhotoLibraryView::kTitleBarHeight + (index / 4) * cell + cell / 2};
    }
};

} // namespace

TEST_F(LibraryPicker, ListsThePicturesNewestFirstWithTheAlbumAndNothingElse) {
    solid(40, 30, kRed)->writeJpeg(pictures() / "old.jpg", 0.9);
    solid(40, 30, kGreen)->writePng(pictures() / "new.png");
    solid(40, 30, kBlue)->writeJpeg(pictures() / "NO_EXTENSION", 0.9);
    std::filesystem::create_directories(pictures() / "Holiday");
    std::filesystem::create_directories(pictures() / "Trips");
    solid(40, 30, kWhite)->writeJpeg(pictures() / "Holiday" / "print.jpg", 0.9);
    solid(40, 30, kWhite)->writeJpeg(pictures() / "Trips" / "deeper.jpg", 0.9);
    solid(40, 30, kWhite)->writeJpeg(pictures() / ".hidden.jpg", 0.9);
    writeText(pictures() / "notes.txt", "not a picture");
    writeText(pictures() / "fake.jpg", "not a picture either");
    age(pictures() / "old.jpg", 10);
    age(pictures() / "NO_EXTENSION", 20);
    age(pictures() / "Holiday" / "print.jpg", 30);
    age(pictures() / "new.png", 40);
    open();
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"new.png", "Holiday/print.jpg",
                                                       "NO_EXTENSION", "old.jpg"}));
    EXPECT_TRUE(picker->libraryView()->hint().empty());

    // Thumbnails arrive before time moves on, and each shows its own photo.
    const ImageRef shot = screen.app.snapshot(1);
    const Point first = cellCentre(0), last = cellCentre(3);
    EXPECT_TRUE(near(shot->pixel(int(first.x), int(first.y)), kGreen));
    EXPECT_TRUE(near(shot->pixel(int(last.x), int(last.y)), kRed));

    // A new photo is there the next time the picker opens.
    solid(40, 30, kBlue)->writePng(pictures() / "newest.png");
    age(pictures() / "newest.png", 50);
    owner->dismissModalViewControllerAnimated(false);
    open();
    EXPECT_EQ(listedNames().front(), "newest.png");
}

TEST_F(LibraryPicker, ATapPicksThePhotoWithItsOrientationFlag) {
    writeJpegWithFlag(*solid(64, 48, kRed), 6, pictures() / "portrait.jpg");
    open();
    screen.tap(cellCentre(0));
    ASSERT_EQ(chooser->pictures.size(), 1u);
    ASSERT_TRUE(chooser->pictures[0]);
    EXPECT_EQ(chooser->pictures[0]->orientation(), ImageOrientation::Right);
    EXPECT_EQ(chooser->pictures[0]->pixelWidth(), 64);
    // A tap on the empty part of the grid picks nothing.
    screen.tap(cellCentre(5));
    EXPECT_EQ(chooser->pictures.size(), 1u);
}

TEST_F(LibraryPicker, APictureThatCannotBeOpenedSaysSoAndThePickerStaysOpen) {
    solid(40, 30, kRed)->writeJpeg(pictures() / "gone.jpg", 0.9);
    open();
    std::filesystem::remove(pictures() / "gone.jpg");
    screen.tap(cellCentre(0));
    EXPECT_TRUE(chooser->pictures.empty());
    EXPECT_EQ(picker->libraryView()->message(), "This picture can't be opened.");
    EXPECT_EQ(owner->modalViewController(), picker);

    std::string error;
    EXPECT_FALSE(picker->pick(home.path() / "nowhere.jpg", error));
    EXPECT_NE(error.find("nowhere.jpg"), std::string::npos);
    EXPECT_EQ(screen.app.frontResponder().get(), static_cast<ScriptResponder*>(picker.get()));

    // Any readable path can be picked by a script, and the message goes away.
    solid(10, 10, kBlue)->writePng(home.path() / "elsewhere.png");
    EXPECT_TRUE(picker->pick(home.path() / "elsewhere.png", error));
    EXPECT_EQ(chooser->pictures.size(), 1u);
    EXPECT_TRUE(picker->libraryView()->message().empty());
}

TEST_F(LibraryPicker, CancelGoesToTheDelegateOrElseDismissesThePicker) {
    open();
    std::string error;
    // This delegate leaves cancels to the picker: it goes away, animated.
    ASSERT_TRUE(picker->cancel(error));
    EXPECT_EQ(owner->modalViewController(), nullptr);
    screen.run(0.5);
    EXPECT_EQ(picker->view()->superview(), nullptr);
    EXPECT_EQ(screen.app.frontResponder(), nullptr);

    struct Canceller : Chooser {
        int cancels = 0;
        void imagePickerControllerDidCancel(ImagePickerController&) override { ++cancels; }
    };
    auto canceller = std::make_shared<Canceller>();
    picker->setDelegate(canceller);
    open();
    screen.tap({290, 22}); // the Cancel control in the title bar
    EXPECT_EQ(canceller->cancels, 1);
    EXPECT_EQ(owner->modalViewController(), picker);
}

TEST_F(LibraryPicker, AnEmptyLibraryShowsTheHintItWasGivenForTheFolderItListsFirst) {
    open();
    EXPECT_TRUE(picker->libraryView()->photos().empty());
    EXPECT_TRUE(picker->libraryView()->hint().empty()) << "no hint was given";
    const ImageRef blank = screen.app.snapshot(1);

    owner->dismissModalViewControllerAnimated(false);
    picker->setEmptyLibraryHint(
        [](const std::filesystem::path& folder) { return "Nothing in\n" + folder.string(); });
    open();
    EXPECT_EQ(picker->libraryView()->hint(), "Nothing in\n" + pictures().string());
    const ImageRef hinted = screen.app.snapshot(1);
    int changed = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 320; ++x)
            changed += hinted->pixel(x, y) != blank->pixel(x, y);
    EXPECT_GT(changed, 100) << "the hint is drawn";

    // With a photo there is no hint.
    solid(40, 30, kRed)->writePng(pictures() / "one.png");
    owner->dismissModalViewControllerAnimated(false);
    open();
    EXPECT_TRUE(picker->libraryView()->hint().empty());
}

TEST_F(LibraryPicker, AThousandPhotosOpenWithOnlyTheCellsNearTheScreenAskedFor) {
    const ImageRef tiny = solid(8, 8, kGrey);
    for (int i = 0; i < 1000; ++i) {
        const auto file = pictures() / ("p" + std::to_string(i) + ".png");
        tiny->writePng(file);
        age(file, i);
    }
    open();
    const auto& photos = picker->libraryView()->photos();
    ASSERT_EQ(photos.size(), 1000u);
    EXPECT_EQ(photos.front().path.filename(), "p999.png");
    auto grid = picker->libraryView()->grid();
    const auto& loader = *grid->loader();
    auto asked = [&] {
        int count = 0;
        for (const auto& photo : photos)
            count += loader.state(photo) != ThumbnailLoader::State::Missing;
        return count;
    };
    // The screen shows six rows of four; a screen beyond is asked for, nothing further.
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(loader.state(photos[i]), ThumbnailLoader::State::Ready) << i;
    EXPECT_EQ(loader.state(photos[999]), ThumbnailLoader::State::Missing);
    EXPECT_GE(asked(), 24);
    EXPECT_LE(asked(), 60);

    // Scrolled far down, what comes into sight is asked for when it is drawn.
    picker->libraryView()->scrollView()->setContentOffset({0, 100 * PhotoGridView::kCellSize});
    screen.app.snapshot(1);
    screen.run(0.1);
    EXPECT_EQ(loader.state(photos[400]), ThumbnailLoader::State::Ready);
    EXPECT_LE(asked(), 120);
}
