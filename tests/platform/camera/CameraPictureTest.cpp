#include "platform/camera/CameraPicture.h"

#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <set>

using namespace platform;
using namespace testpictures;

namespace {

struct Corner {
    int x, y;
};

// Where three stored corners are seen under each flag, read off the EXIF description ("the
// first row is the visual right side, the first column the visual top"...). Three corners fix
// each of the eight turns and mirrors.
struct FlagCase {
    ImageOrientation flag;
    bool swapsSides;
    Corner topLeft, topRight, bottomLeft; // of the stored bitmap, as seen (w = 4, h = 3)
};

const FlagCase kFlagCases[] = {
    {ImageOrientation::Up, false, {0, 0}, {3, 0}, {0, 2}},
    {ImageOrientation::UpMirrored, false, {3, 0}, {0, 0}, {3, 2}},
    {ImageOrientation::Down, false, {3, 2}, {0, 2}, {3, 0}},
    {ImageOrientation::DownMirrored, false, {0, 2}, {3, 2}, {0, 0}},
    {ImageOrientation::LeftMirrored, true, {0, 0}, {0, 3}, {2, 0}},
    {ImageOrientation::Right, true, {2, 0}, {2, 3}, {0, 0}},
    {ImageOrientation::RightMirrored, true, {2, 3}, {2, 0}, {0, 3}},
    {ImageOrientation::Left, true, {0, 3}, {0, 0}, {2, 3}},
};

} // namespace

TEST(UprightImage, EachFlagPutsTheStoredCornersWhereTheyAreSeen) {
    for (const FlagCase& c : kFlagCases) {
        SCOPED_TRACE(static_cast<int>(c.flag));
        const ImageRef stored = picture(4, 3, numbered, c.flag);
        const ImageRef seen = uprightImage(*stored);
        ASSERT_TRUE(seen);
        EXPECT_EQ(seen->orientation(), ImageOrientation::Up);
        EXPECT_EQ(seen->pixelWidth(), c.swapsSides ? 3 : 4);
        EXPECT_EQ(seen->pixelHeight(), c.swapsSides ? 4 : 3);
        EXPECT_EQ(seen->pixel(c.topLeft.x, c.topLeft.y), numbered(0, 0));
        EXPECT_EQ(seen->pixel(c.topRight.x, c.topRight.y), numbered(3, 0));
        EXPECT_EQ(seen->pixel(c.bottomLeft.x, c.bottomLeft.y), numbered(0, 2));
        // A turn or a mirror moves every pixel and loses none.
        std::set<std::uint32_t> colours;
        for (int y = 0; y < seen->pixelHeight(); ++y)
            for (int x = 0; x < seen->pixelWidth(); ++x)
                colours.insert(seen->pixel(x, y));
        EXPECT_EQ(colours.size(), 12u);
    }
}

TEST(Mirrored, SwapsLeftAndRightAndUndoesItself) {
    const ImageRef frame = picture(5, 3, numbered);
    const ImageRef once = mirrored(*frame);
    ASSERT_TRUE(once);
    EXPECT_EQ(once->pixel(0, 0), numbered(4, 0));
    EXPECT_EQ(once->pixel(4, 2), numbered(0, 2));
    const ImageRef twice = mirrored(*once);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(twice->pixel(x, y), frame->pixel(x, y));
}

TEST(PortraitPicture, LandscapeFrameShowsItsCentreSquareAndBlackBelow) {
    const ImageRef frame = picture(400, 300, numbered);
    const ImageRef portrait = portraitPicture(*frame, 300);
    ASSERT_TRUE(portrait);
    ASSERT_EQ(portrait->pixelWidth(), 300);
    ASSERT_EQ(portrait->pixelHeight(), 400);
    for (int y = 0; y < 400; y += 7)
        for (int x = 0; x < 300; x += 5)
            EXPECT_EQ(portrait->pixel(x, y), y < 300 ? numbered(x + 50, y) : kBlack)
                << x << "," << y;
    EXPECT_EQ(portrait->pixel(299, 299), numbered(349, 299));
    EXPECT_EQ(portrait->pixel(0, 300), kBlack);
}

TEST(PortraitPicture, PortraitFrameGoesOnBelowTheSquareWhileItHasRows) {
    // 80 rows above the square are lost; the 80 below it follow it; then black.
    const ImageRef frame = picture(300, 460, numbered);
    const ImageRef portrait = portraitPicture(*frame, 300);
    ASSERT_TRUE(portrait);
    for (int y = 0; y < 400; y += 3)
        EXPECT_EQ(portrait->pixel(150, y), y < 380 ? numbered(150, y + 80) : kBlack) << y;
    EXPECT_EQ(portrait->pixel(0, 379), numbered(0, 459));
    EXPECT_EQ(portrait->pixel(299, 380), kBlack);
}

TEST(PortraitPicture, SquareFrameIsScaledIntoTheTopSquare) {
    // Quarters of four colours: after scaling, each quarter of the top square keeps its
    // colour, with only the seams blended.
    const ImageRef frame = picture(90, 90, [](int x, int y) {
        return y < 45 ? (x < 45 ? kRed : kGreen) : (x < 45 ? kBlue : kWhite);
    });
    const ImageRef portrait = portraitPicture(*frame, 320);
    ASSERT_TRUE(portrait);
    ASSERT_EQ(portrait->pixelHeight(), 426);
    EXPECT_TRUE(near(portrait->pixel(0, 0), kRed, 2));
    EXPECT_TRUE(near(portrait->pixel(319, 0), kGreen, 2));
    EXPECT_TRUE(near(portrait->pixel(0, 319), kBlue, 2));
    EXPECT_TRUE(near(portrait->pixel(319, 319), kWhite, 2));
    EXPECT_EQ(portrait->pixel(160, 320), kBlack);
    EXPECT_EQ(portrait->pixel(0, 425), kBlack);
}

TEST(PortraitPicture, RefusesEmptyRequests) {
    const ImageRef frame = picture(4, 4, numbered);
    EXPECT_FALSE(portraitPicture(*frame, 0));
    EXPECT_FALSE(portraitPicture(*frame, -5));
}

TEST(MakeStill, SizeAndFlagFollowTheModel) {
    const ImageRef frame = picture(64, 48, numbered);
    struct Case {
        const char* model;
        int width, height;
    };
    for (const Case& c :
         {Case{"iPhone1,1", 1600, 1200}, Case{"iPhone1,2", 1600, 1200},
          Case{"iPhone1,21", 2048, 1536}, Case{"iPhone2,1", 2048, 1536}, Case{"", 2048, 1536}}) {
        SCOPED_TRACE(c.model);
        const ImageRef still = makeStill(*frame, c.model);
        ASSERT_TRUE(still);
        EXPECT_EQ(still->pixelWidth(), c.width);
        EXPECT_EQ(still->pixelHeight(), c.height);
        EXPECT_EQ(still->orientation(), ImageOrientation::Right);
        EXPECT_EQ(still->size().width, c.height);
    }
}

TEST(MakeStill, FrameTopEndsAlongTheLeftEdgeAndFrameLeftAlongTheBottom) {
    // A 300-pixel square frame becomes a 1536 square: a 20-pixel band is 102 pixels wide.
    const ImageRef frame = picture(300, 300, [](int x, int y) {
        if (y < 20)
            return kRed;
        return x < 20 ? kBlue : kGrey;
    });
    const ImageRef still = makeStill(*frame, "iPhone3,1");
    ASSERT_TRUE(still);
    for (int y : {0, 200, 768, 1300}) {
        EXPECT_TRUE(near(still->pixel(0, y), kRed, 2)) << y;
        EXPECT_TRUE(near(still->pixel(95, y), kRed, 2)) << y;
        EXPECT_TRUE(near(still->pixel(110, y), kGrey, 2)) << y;
    }
    for (int x : {200, 768, 1500}) {
        EXPECT_TRUE(near(still->pixel(x, 1535), kBlue, 2)) << x;
        EXPECT_TRUE(near(still->pixel(x, 1440), kBlue, 2)) << x;
        EXPECT_TRUE(near(still->pixel(x, 1425), kGrey, 2)) << x;
        EXPECT_TRUE(near(still->pixel(x, 0), kGrey, 2)) << x;
    }
    // The frame's top-left corner, red, ends at the still's bottom-left; beyond the square
    // (the portrait's lower quarter) the square frame has no rows: black.
    EXPECT_TRUE(near(still->pixel(0, 1535), kRed, 2));
    EXPECT_EQ(still->pixel(1600, 700), kBlack);
    EXPECT_EQ(still->pixel(2047, 0), kBlack);
}

TEST(MakeStill, StoredPixelIsThePortraitPixelTurnedAQuarter) {
    // At the still's own width nothing is scaled, so the mapping can be checked exactly:
    // stored (x, y) = portrait (W - 1 - y, x), and showing the still upright gives the
    // portrait picture back.
    const ImageRef frame = picture(1200, 1300, numbered);
    const ImageRef still = makeStill(*frame, "iPhone1,1");
    const ImageRef portrait = portraitPicture(*frame, 1200);
    ASSERT_TRUE(still && portrait);
    for (int y = 0; y < 1200; y += 13)
        for (int x = 0; x < 1600; x += 11)
            ASSERT_EQ(still->pixel(x, y), portrait->pixel(1199 - y, x)) << x << "," << y;
    EXPECT_EQ(still->pixel(0, 0), numbered(1199, 50));
    EXPECT_EQ(still->pixel(0, 1199), numbered(0, 50));

    const ImageRef seen = uprightImage(*still);
    ASSERT_TRUE(seen);
    for (int y = 0; y < 1600; y += 17)
        for (int x = 0; x < 1200; x += 7)
            ASSERT_EQ(seen->pixel(x, y), portrait->pixel(x, y)) << x << "," << y;
}
