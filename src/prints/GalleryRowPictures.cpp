#include "prints/GalleryRowPictures.h"

#include "platform/graphics/ReducedPicture.h"

#include <algorithm>
#include <cmath>
#include <iostream>

GalleryRowPictures::GalleryRowPictures() : results_(std::make_shared<Results>()) {
    results_->owner = this;
}

GalleryRowPictures::~GalleryRowPictures() {
    results_->owner = nullptr;
    jobs_.stop();
    if (worker_.joinable())
        worker_.join();
}

int GalleryRowPictures::pixelsFor(double points, double scale) {
    const double pixels = std::round(points * scale);
    return std::isfinite(pixels) ? static_cast<int>(std::clamp(pixels, 1.0, 32767.0)) : 1;
}

void GalleryRowPictures::setRows(std::vector<Row> rows) {
    letGo();
    rows_.clear();
    for (Row& row : rows) {
        RowState state;
        state.row = std::move(row);
        rows_.push_back(std::move(state));
    }
}

void GalleryRowPictures::show(double top, double height, double scale) {
    // The rows in view, by where their pictures lie.
    std::ptrdiff_t first = -1, last = -2;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const platform::Rect frame = rows_[i].row.view->frame();
        if (frame.maxY() > top && frame.minY() < top + height) {
            if (first < 0)
                first = static_cast<std::ptrdiff_t>(i);
            last = static_cast<std::ptrdiff_t>(i);
        }
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        RowState& row = rows_[i];
        const auto index = static_cast<std::ptrdiff_t>(i);
        const platform::Rect bounds = row.row.view->bounds();
        const int width = pixelsFor(bounds.width(), scale);
        const int height = pixelsFor(bounds.height(), scale);
        // A small print with a pixel for every pixel drawn is already as sharp as it gets.
        const bool smallSuffices = !row.row.small || (width <= row.row.small->pixelWidth() &&
                                                      height <= row.row.small->pixelHeight());
        const bool near = first >= 0 && index >= first - kRowsBeside && index <= last + kRowsBeside;
        if (smallSuffices || !near) {
            showSmall(row);
            continue;
        }
        if (row.width == width && row.height == height && row.state != State::Small)
            continue; // made, on its way, or known not to be had at this size
        // Another size is another picture: the old one goes first, so at most one per row.
        showSmall(row);
        request(i, width, height);
    }
}

void GalleryRowPictures::letGo() {
    for (RowState& row : rows_)
        showSmall(row);
}

void GalleryRowPictures::showSmall(RowState& row) {
    if (row.cancelled)
        row.cancelled->store(true);
    row.cancelled = nullptr;
    if (row.state == State::Sharp)
        row.row.view->setImage(row.row.small);
    // A file that could not be read stays known as such until the rows are made again.
    if (row.state == State::Failed)
        return;
    row.state = State::Small;
    row.width = row.height = 0;
}

void GalleryRowPictures::request(std::size_t index, int width, int height) {
    RowState& row = rows_[index];
    row.state = State::Pending;
    row.width = width;
    row.height = height;
    row.ticket = ++nextTicket_;
    row.cancelled = std::make_shared<std::atomic<bool>>(false);
    jobs_.push({index, row.ticket, row.row.fullSize, width, height, row.cancelled,
                platform::RunLoop::main().beginAsyncWork()});
    if (!worker_.joinable())
        worker_ = std::thread([this] { workerLoop(); });
}

void GalleryRowPictures::arrived(std::size_t index, std::uint64_t ticket,
                                 platform::ImageRef picture, const std::string& whyNot) {
    if (index >= rows_.size() || rows_[index].ticket != ticket ||
        rows_[index].state != State::Pending)
        return; // let go while it was being made
    RowState& row = rows_[index];
    row.cancelled = nullptr;
    if (!picture) {
        // Remembered, so scrolling back does not read the file again.
        row.state = State::Failed;
        std::cerr << "morvane: the gallery shows the small print for "
                  << row.row.fullSize.filename().string() << ": " << whyNot << "\n";
        return;
    }
    row.state = State::Sharp;
    row.row.view->setImage(std::move(picture));
}

std::size_t GalleryRowPictures::sharpCount() const {
    return static_cast<std::size_t>(std::count_if(
        rows_.begin(), rows_.end(), [](const RowState& r) { return r.state == State::Sharp; }));
}

std::size_t GalleryRowPictures::pendingCount() const {
    return static_cast<std::size_t>(std::count_if(
        rows_.begin(), rows_.end(), [](const RowState& r) { return r.state == State::Pending; }));
}

void GalleryRowPictures::workerLoop() {
    while (std::optional<Job> next = jobs_.next()) {
        Job& job = *next;
        // A row let go before its turn costs nothing more; its token just ends.
        if (job.cancelled->load())
            continue;
        std::string whyNot;
        platform::ImageRef picture =
            platform::ReducedPicture::read(job.path, job.width, job.height, &whyNot);
        job.work.finish([results = results_, index = job.index, ticket = job.ticket,
                         picture = std::move(picture), whyNot = std::move(whyNot)] {
            if (results->owner)
                results->owner->arrived(index, ticket, picture, whyNot);
        });
    }
}
