#include "platform/ui/ImagePickerController.h"

#include "platform/ui/AlertView.h"
#include "platform/ui/PhotoGridView.h"
#include "platform/ui/PhotoLibraryView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextButton.h"
#include "platform/ui/ThumbnailLoader.h"

#include "PickerTestSupport.h"
#include "support/PhoneFormats.h"
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

TEST_F(LibraryPicker, ListsFoldersByNameThenPicturesNewestFirstAndNothingElse) {
    solid(40, 30, kRed)->writeJpeg(pictures() / "old.jpg", 0.9);
    solid(40, 30, kGreen)->writePng(pictures() / "new.png");
    solid(40, 30, kBlue)->writeJpeg(pictures() / "NO_EXTENSION", 0.9);
    std::filesystem::create_directories(pictures() / "Holiday");
    std::filesystem::create_directories(pictures() / "trips");
    std::filesystem::create_directories(pictures() / ".cache");
    solid(40, 30, kWhite)->writeJpeg(pictures() / "Holiday" / "print.jpg", 0.9);
    solid(40, 30, kWhite)->writeJpeg(pictures() / "trips" / "deeper.jpg", 0.9);
    solid(40, 30, kWhite)->writeJpeg(pictures() / ".hidden.jpg", 0.9);
    writeText(pictures() / "notes.txt", "not a picture");
    writeText(pictures() / "fake.jpg", "not a picture either");
    age(pictures() / "old.jpg", 10);
    age(pictures() / "NO_EXTENSION", 20);
    age(pictures() / "new.png", 40);
    open();
    // The album (Holiday) is a folder like the others, in the order people read names.
    EXPECT_EQ(listedNames(),
              (std::vector<std::string>{"Holiday", "trips", "new.png", "NO_EXTENSION", "old.jpg"}));
    EXPECT_TRUE(picker->libraryView()->hint().empty());
    std::filesystem::remove_all(pictures() / "Holiday");
    std::filesystem::remove_all(pictures() / "trips");
    owner->dismissModalViewControllerAnimated(false);
    open();
    ASSERT_EQ(listedNames().front(), "new.png");

    // Thumbnails arrive before time moves on, and each shows its own photo.
    const ImageRef shot = screen.app.snapshot(1);
    const Point first = cellCentre(0), last = cellCentre(2);
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

TEST_F(LibraryPicker, APictureThatCannotBeReadKeepsItsCellAndSaysWhyWhenTapped) {
    solid(40, 30, kRed)->writeJpeg(pictures() / "gone.jpg", 0.9);
    const std::vector<std::uint8_t> whole = solid(40, 30, kRed)->jpegData(0.9);
    {
        std::ofstream cut(pictures() / "cut.jpg", std::ios::binary);
        cut.write(reinterpret_cast<const char*>(whole.data()), std::streamsize(whole.size() / 2));
    }
    age(pictures() / "cut.jpg", 10);
    age(pictures() / "gone.jpg", 20);
    open();
    ASSERT_EQ(listedNames(), (std::vector<std::string>{"gone.jpg", "cut.jpg"}));
    // The damaged photo keeps its place, as a plain placeholder with a cross.
    EXPECT_EQ(picker->libraryView()->grid()->loader()->state(picker->libraryView()->photos()[1]),
              ThumbnailLoader::State::Failed);
    const ImageRef shot = screen.app.snapshot(1);
    const Point cell = cellCentre(1);
    EXPECT_TRUE(near(shot->pixel(int(cell.x) - 30, int(cell.y) - 30), 0xFFB3B3B3u, 4));

    // A tap on it says why, over the picker, which stays open behind the alert.
    screen.tap(cellCentre(1));
    EXPECT_TRUE(chooser->pictures.empty());
    auto alert = std::dynamic_pointer_cast<AlertView>(screen.app.frontResponder());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), ImagePickerController::kUnreadableTitle);
    EXPECT_NE(alert->message().find("cut.jpg: a damaged"), std::string::npos) << alert->message();
    EXPECT_EQ(owner->modalViewController(), picker);
    EXPECT_TRUE(screen.app.key(Application::kCancelKey));
    EXPECT_EQ(screen.app.frontResponder().get(), static_cast<ScriptResponder*>(picker.get()));

    // A file gone since the listing says that instead.
    std::filesystem::remove(pictures() / "gone.jpg");
    screen.tap(cellCentre(0));
    alert = std::dynamic_pointer_cast<AlertView>(screen.app.frontResponder());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->message(), "gone.jpg: no such file.");
    ASSERT_TRUE(alert->dismissWithClickedButtonIndex(0));

    std::string error;
    EXPECT_FALSE(picker->pick(home.path() / "nowhere.jpg", error));
    EXPECT_NE(error.find("nowhere.jpg"), std::string::npos);
    ASSERT_TRUE(std::dynamic_pointer_cast<AlertView>(screen.app.frontResponder()));
    std::dynamic_pointer_cast<AlertView>(screen.app.frontResponder())
        ->dismissWithClickedButtonIndex(0);
    EXPECT_EQ(screen.app.frontResponder().get(), static_cast<ScriptResponder*>(picker.get()));

    // Any readable path can be picked by a script.
    solid(10, 10, kBlue)->writePng(home.path() / "elsewhere.png");
    EXPECT_TRUE(picker->pick(home.path() / "elsewhere.png", error));
    EXPECT_EQ(chooser->pictures.size(), 1u);
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

TEST_F(LibraryPicker, FoldersOpenWithTheirNameAndBackLeadsUpButNeverAboveTheLibrary) {
    std::filesystem::create_directories(pictures() / "Trips" / "Alps");
    solid(40, 30, kRed)->writeJpeg(pictures() / "Trips" / "older.jpg", 0.9);
    solid(40, 30, kGreen)->writePng(pictures() / "Trips" / "newer.png");
    solid(40, 30, kBlue)->writePng(pictures() / "Trips" / "Alps" / "peak.png");
    age(pictures() / "Trips" / "older.jpg", 10);
    age(pictures() / "Trips" / "newer.png", 20);
    open();
    const auto library = picker->libraryView();
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"Trips"}));
    EXPECT_EQ(library->title(), "Photos");
    EXPECT_TRUE(library->backButton()->isHidden());

    screen.tap(cellCentre(0));
    EXPECT_TRUE(chooser->pictures.empty());
    EXPECT_EQ(library->title(), "Trips");
    EXPECT_FALSE(library->backButton()->isHidden());
    EXPECT_EQ(listedNames(),
              (std::vector<std::string>{"Trips/Alps", "Trips/newer.png", "Trips/older.jpg"}));
    // The thumbnails of the folder opened are those of its photos.
    screen.run(0.1);
    const ImageRef shot = screen.app.snapshot(1);
    EXPECT_TRUE(near(shot->pixel(int(cellCentre(1).x), int(cellCentre(1).y)), kGreen));

    screen.tap(cellCentre(0));
    EXPECT_EQ(library->title(), "Alps");
    screen.tap(cellCentre(0));
    ASSERT_EQ(chooser->pictures.size(), 1u);
    EXPECT_TRUE(near(chooser->pictures[0]->pixel(5, 5), kBlue));

    const Rect back = library->backButton()->frame();
    screen.tap({back.x() + back.width() / 2, back.y() + back.height() / 2});
    EXPECT_EQ(library->title(), "Trips");
    EXPECT_TRUE(library->goUp());
    EXPECT_EQ(library->folder(), pictures());
    EXPECT_TRUE(library->backButton()->isHidden());
    EXPECT_FALSE(library->goUp());
    EXPECT_EQ(listedNames(), (std::vector<std::string>{"Trips"}));

    // An empty subfolder says so, rather than the hint for an empty library.
    std::filesystem::create_directories(pictures() / "Empty");
    library->openFolder(pictures() / "Empty");
    EXPECT_EQ(library->hint(), "No photos in this folder.");
    // The picker opens again at the top of the library.
    owner->dismissModalViewControllerAnimated(false);
    open();
    EXPECT_EQ(picker->libraryView()->folder(), pictures());
}

TEST_F(LibraryPicker, HeicAndWebpPhotosAreListedShownUprightAndPicked) {
    // Seen 64 by 48 with red at the top left; each stored turned as a phone or browser does.
    ASSERT_TRUE(phoneformats::writeQuartersHeic(pictures() / "phone.heic", 6, 64, 48));
    ASSERT_TRUE(phoneformats::writeQuartersWebp(pictures() / "saved.webp", 8, 64, 48));
    age(pictures() / "phone.heic", 20);
    age(pictures() / "saved.webp", 10);
    open();
    ASSERT_EQ(listedNames(), (std::vector<std::string>{"phone.heic", "saved.webp"}));
    // The thumbnail is the centre square of the upright picture: red at its top left, yellow
    // at its bottom right.
    const ImageRef shot = screen.app.snapshot(1);
    for (int index = 0; index < 2; ++index) {
        const Point c = cellCentre(index);
        EXPECT_TRUE(near(shot->pixel(int(c.x) - 20, int(c.y) - 20), oriented::quarterColour(0, 0)))
            << index;
        EXPECT_TRUE(near(shot->pixel(int(c.x) + 20, int(c.y) + 20), oriented::quarterColour(1, 1)))
            << index;
    }
    screen.tap(cellCentre(0));
    screen.tap(cellCentre(1));
    ASSERT_EQ(chooser->pictures.size(), 2u);
    EXPECT_EQ(chooser->pictures[0]->size().width, 64);
    EXPECT_EQ(chooser->pictures[0]->orientation(), ImageOrientation::Up);
    EXPECT_EQ(chooser->pictures[1]->orientation(), ImageOrientation::Left);
}
