#pragma once

#include "platform/foundation/JobQueue.h"
#include "platform/graphics/Image.h"
#include "platform/ui/PhotoLibraryListing.h"
#include "platform/ui/RunLoop.h"

#include <functional>
#include <list>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace platform {

// Makes thumbnails of photo files on a small pool of worker threads and keeps the most
// recently used in memory, keyed by path, size and modification time, so a photo that
// changed is made again. The newest request is served first: it is the one the user is
// looking at. Each request is run-loop async work, so a headless run (virtual clock) sees
// every requested thumbnail before time moves on. Use from the main thread only.
class ThumbnailLoader {
public:
    static constexpr int kWorkers = 2;
    // About 100 KB each at the default side.
    static constexpr std::size_t kDefaultCapacity = 500;

    // `side` in pixels.
    explicit ThumbnailLoader(int side, std::size_t capacity = kDefaultCapacity);
    ~ThumbnailLoader();
    ThumbnailLoader(const ThumbnailLoader&) = delete;
    ThumbnailLoader& operator=(const ThumbnailLoader&) = delete;

    int side() const { return side_; }

    enum class State { Missing, Loading, Ready, Failed };
    State state(const PhotoEntry& photo) const;
    // The thumbnail when it is ready, else nullptr.
    ImageRef thumbnail(const PhotoEntry& photo);

    // Starts making the thumbnail unless it is cached or on its way.
    void request(const PhotoEntry& photo);
    // Runs on the main thread whenever a requested thumbnail has arrived (made or failed).
    void setReadyHandler(std::function<void()> handler) { ready_ = std::move(handler); }
    // Forgets the requests no worker has begun (the grid went away); begun ones still land
    // in the cache.
    void cancelPending();
    std::size_t pendingCount() const;
    std::size_t cachedCount() const { return cache_.size(); }

private:
    struct Job {
        std::string key;
        std::filesystem::path path;
        RunLoop::AsyncWork work;
    };
    struct Entry {
        ImageRef image;
        std::list<std::string>::iterator use;
    };
    // What the main thread keeps; results find it through a weak reference, so a loader that
    // is gone by then is simply not told.
    struct Results;

    void workerLoop();
    void store(const std::string& key, ImageRef image);

    const int side_;
    const std::size_t capacity_;
    std::shared_ptr<Results> results_;
    std::unordered_map<std::string, Entry> cache_;
    std::list<std::string> uses_; // most recent first
    std::unordered_set<std::string> waiting_;
    std::function<void()> ready_;

    JobQueue<Job> jobs_{JobQueue<Job>::Order::NewestFirst};
    std::vector<std::thread> workers_;
};

} // namespace platform
