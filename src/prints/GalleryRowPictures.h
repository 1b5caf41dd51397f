#pragma once

#include "platform/foundation/JobQueue.h"
#include "platform/graphics/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/RunLoop.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

// Sharp pictures for the gallery's rows. Where the window draws a row with more pixels than
// its small print has, the row is given its full-size print reduced to exactly the pixels it
// is drawn at; where the small print has enough, it shows that, as it always did. Only the
// rows in view and those beside them are made sharp, one at a time on a worker thread, and
// only they keep a sharp picture: each row shows its small print until its sharp one is ready
// and again once it is let go. A full-size file that cannot be read leaves the small print,
// said once on standard error. Use from the main thread.
class GalleryRowPictures {
public:
    // Rows beside those in view, on each side, that are made sharp before they scroll in.
    static constexpr int kRowsBeside = 1;

    struct Row {
        std::shared_ptr<platform::ImageView> view;
        // What the row shows by itself (null: nothing) and where its full-size print is.
        platform::ImageRef small;
        std::filesystem::path fullSize;
    };

    GalleryRowPictures();
    ~GalleryRowPictures();
    GalleryRowPictures(const GalleryRowPictures&) = delete;
    GalleryRowPictures& operator=(const GalleryRowPictures&) = delete;

    // The rows now shown, top to bottom, each showing its small print; whatever was kept or
    // on its way for earlier rows is let go.
    void setRows(std::vector<Row> rows);
    // The rows' parent shows its content from `top` down for `height` points, drawn at
    // `scale` pixels a point: rows near that are given the picture that is sharp there, the
    // others their small print.
    void show(double top, double height, double scale);
    // Every row back to its small print, nothing kept (the gallery went away, say).
    void letGo();

    // The pixels a side of `points` covers at `scale`.
    static int pixelsFor(double points, double scale);

    // For tests and diagnostics: rows showing a sharp picture now, and sharp pictures asked
    // for and not yet arrived.
    std::size_t sharpCount() const;
    std::size_t pendingCount() const;

private:
    enum class State { Small, Pending, Sharp, Failed };
    struct RowState {
        Row row;
        State state = State::Small;
        // The pixels the sharp picture is (or is being) made at.
        int width = 0;
        int height = 0;
        std::uint64_t ticket = 0;
        std::shared_ptr<std::atomic<bool>> cancelled;
    };
    struct Job {
        std::size_t index = 0;
        std::uint64_t ticket = 0;
        std::filesystem::path path;
        int width = 0;
        int height = 0;
        std::shared_ptr<std::atomic<bool>> cancelled;
        platform::RunLoop::AsyncWork work;
    };
    // What results find the main-thread side through; cleared when it goes.
    struct Results {
        GalleryRowPictures* owner = nullptr;
    };

    void showSmall(RowState& row);
    void request(std::size_t index, int width, int height);
    void arrived(std::size_t index, std::uint64_t ticket, platform::ImageRef picture,
                 const std::string& whyNot);
    void workerLoop();

    std::vector<RowState> rows_;
    std::uint64_t nextTicket_ = 0;
    std::shared_ptr<Results> results_;

    platform::JobQueue<Job> jobs_{platform::JobQueue<Job>::Order::OldestFirst};
    // Started at the first sharp picture asked for: a window drawn at one pixel a point
    // never needs one.
    std::thread worker_;
};
