#include "platform/ui/ThumbnailLoader.h"

#include "platform/ui/ThumbnailMaker.h"

namespace platform {

struct ThumbnailLoader::Results {
    // Main thread only: cleared when the loader goes.
    ThumbnailLoader* owner = nullptr;
};

ThumbnailLoader::ThumbnailLoader(int side, std::size_t capacity)
    : side_(side < 1 ? 1 : side), capacity_(capacity < 1 ? 1 : capacity),
      results_(std::make_shared<Results>()) {
    results_->owner = this;
    for (int i = 0; i < kWorkers; ++i)
        workers_.emplace_back([this] { workerLoop(); });
}

ThumbnailLoader::~ThumbnailLoader() {
    results_->owner = nullptr;
    jobs_.stop();
    for (auto& worker : workers_)
        worker.join();
}

ThumbnailLoader::State ThumbnailLoader::state(const PhotoEntry& photo) const {
    const std::string key = photo.key();
    if (auto it = cache_.find(key); it != cache_.end())
        return it->second.image ? State::Ready : State::Failed;
    return waiting_.count(key) ? State::Loading : State::Missing;
}

ImageRef ThumbnailLoader::thumbnail(const PhotoEntry& photo) {
    auto it = cache_.find(photo.key());
    if (it == cache_.end())
        return nullptr;
    uses_.splice(uses_.begin(), uses_, it->second.use);
    return it->second.image;
}

void ThumbnailLoader::request(const PhotoEntry& photo) {
    std::string key = photo.key();
    if (cache_.count(key) || !waiting_.insert(key).second)
        return;
    jobs_.push({std::move(key), photo.path, RunLoop::main().beginAsyncWork()});
}

void ThumbnailLoader::cancelPending() {
    for (const Job& job : jobs_.takeWaiting())
        waiting_.erase(job.key);
}

std::size_t ThumbnailLoader::pendingCount() const {
    return jobs_.size();
}

void ThumbnailLoader::workerLoop() {
    while (std::optional<Job> next = jobs_.next()) {
        Job& job = *next;
        ImageRef image = ThumbnailMaker::make(job.path, side_);
        job.work.finish([results = results_, key = std::move(job.key), image = std::move(image)] {
            if (results->owner)
                results->owner->store(key, image);
        });
    }
}

void ThumbnailLoader::store(const std::string& key, ImageRef image) {
    waiting_.erase(key);
    if (!cache_.count(key)) {
        uses_.push_front(key);
        cache_.emplace(key, Entry{std::move(image), uses_.begin()});
        while (cache_.size() > capacity_) {
            cache_.erase(uses_.back());
            uses_.pop_back();
        }
    }
    if (ready_)
        ready_();
}

} // namespace platform
