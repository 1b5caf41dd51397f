#include "platform/printing/PaperJob.h"
#include "platform/printing/PageLayout.h"

#include "support/IppPrinter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

using platform::Image;
using platform::PaperJob;

namespace {

// A print with a colour step across it and a dark band, as a real one has light and dark.
platform::ImageRef gradient(int side) {
    std::vector<std::uint32_t> argb(std::size_t(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const std::uint32_t r = 40 + 200 * x / side, g = 200 - 150 * y / side;
            const std::uint32_t b = (y > side / 3 && y < side / 2) ? 30 : 160;
            argb[std::size_t(y) * side + x] = 0xff000000u | r << 16 | g << 8 | b;
        }
    return Image::fromPixels(side, side, argb);
}

// The box of everything on the sheet that is not white paper.
struct Box {
    int left, top, right, bottom;
};
Box inked(const IppPrinter::Page& page) {
    Box box{page.width, page.height, -1, -1};
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) {
            const std::uint8_t* p = page.at(x, y);
            if (p[0] < 245 || p[1] < 245 || p[2] < 245) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
        }
    return box;
}

} // namespace

// One print to a real IPP Everywhere printer: one job, whose document is the print on the
// printer's photo sheet at an instant print's size, in a white border, in its own colours.
TEST(PaperJobTest, APrintArrivesOnThePhotoSheetAtItsSizeInItsColours) {
    IppPrinter printer;
    if (!printer.whyNot().empty())
        GTEST_SKIP() << "no IPP printer to print on: " << printer.whyNot();
    const auto print = gradient(750);
    PaperJob::Options options;
    options.printer = printer.address();
    const PaperJob::Sent sent = PaperJob::send(*print, options);
    ASSERT_GT(sent.jobId, 0) << sent.error;
    EXPECT_EQ(sent.media, "na_index-4x6_4x6in");
    EXPECT_EQ(sent.format, "image/pwg-raster");
    ASSERT_TRUE(printer.waitForDocuments(1));
    const auto documents = printer.documents();
    ASSERT_EQ(documents.size(), 1u);
    const auto page = IppPrinter::readPwg(documents[0]);
    ASSERT_TRUE(page);
    const double mm = page->dotsPerInch / 25.4;
    EXPECT_NEAR(page->width, 101.6 * mm, 2);
    EXPECT_NEAR(page->height, 152.4 * mm, 2);

    const Box box = inked(*page);
    const double side = platform::PageLayout::kPrintSide * mm;
    EXPECT_NEAR(box.right - box.left + 1, side, 2);
    EXPECT_NEAR(box.bottom - box.top + 1, side, 2);
    // White all round, the wide border below, centred across.
    EXPECT_NEAR(box.left, page->width - 1 - box.right, 2);
    EXPECT_GT(box.top, 4 * mm);
    EXPECT_GT(page->height - box.bottom, box.top + 10 * mm);

    double difference = 0;
    int samples = 0;
    for (int y = 8; y < 750; y += 37)
        for (int x = 8; x < 750; x += 37) {
            const std::uint32_t p = print->pixel(x, y);
            const int px = box.left + int(std::lround((x + 0.5) * side / 750 - 0.5));
            const int py = box.top + int(std::lround((y + 0.5) * side / 750 - 0.5));
            const std::uint8_t* got = page->at(px, py);
            difference += std::abs(got[0] - int((p >> 16) & 0xff)) +
                          std::abs(got[1] - int((p >> 8) & 0xff)) +
                          std::abs(got[2] - int(p & 0xff));
            samples += 3;
        }
    EXPECT_LT(difference / samples, 4.0);

    // The printer takes the job through to its end, and says so when asked.
    PaperJob::Status status;
    for (int i = 0; i < 300 && !status.isFinal(); ++i) {
        status = PaperJob::status(printer.address(), sent.jobId);
        if (!status.isFinal())
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    EXPECT_EQ(status.state, 9) << status.error;
}

TEST(PaperJobTest, APrinterThatIsGoneIsSaidAndNothingIsSent) {
    IppPrinter printer;
    if (!printer.whyNot().empty())
        GTEST_SKIP() << "no IPP printer to print on: " << printer.whyNot();
    printer.stop();
    PaperJob::Options options;
    options.printer = printer.address();
    const PaperJob::Sent sent = PaperJob::send(*gradient(64), options);
    EXPECT_EQ(sent.jobId, 0);
    EXPECT_NE(sent.error.find("cannot reach"), std::string::npos) << sent.error;
    EXPECT_TRUE(printer.documents().empty());
    EXPECT_EQ(PaperJob::status(printer.address(), 1).state, 0);

    options.printer = "ipp://";
    EXPECT_EQ(PaperJob::send(*gradient(64), options).jobId, 0);
}

TEST(PaperJobTest, ReasonsThatStopAPrintAreSaidPlainly) {
    EXPECT_EQ(PaperJob::reasonText({"none"}), "");
    EXPECT_EQ(PaperJob::reasonText({"media-empty-error"}), "Out of paper");
    EXPECT_EQ(PaperJob::reasonText({"media-needed"}), "Out of paper");
    EXPECT_EQ(PaperJob::reasonText({"toner-low-warning", "offline-report"}), "");
    EXPECT_EQ(PaperJob::reasonText({"marker-supply-low-warning", "offline"}), "Printer offline");
    EXPECT_EQ(PaperJob::reasonText({"media-jam-error"}), "Paper jam");
}
