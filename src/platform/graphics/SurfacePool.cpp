#include "platform/graphics/SurfacePool.h"

#include "platform/graphics/LargeMemory.h"

#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>

namespace platform {

namespace {

// Smaller surfaces come cheaply from the allocator; these sizes are where page faults bite.
constexpr std::size_t kSmallestPooled = 256 * 1024;
constexpr std::size_t kMostIdleBytes = 64u * 1024 * 1024;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooling = false;
#else
constexpr bool kPooling = true;
#endif

// A buffer is one allocation: a cache line holding its pixel size, then the pixels, so that
// Cairo's release callback, which gets one pointer, can hand the whole of it back.
constexpr std::size_t kHeader = 64;

struct Buffer {
    void* memory = nullptr;
    std::size_t size = 0; // of the pixels
    unsigned char* pixels() const { return static_cast<unsigned char*>(memory) + kHeader; }
};

class Pool {
public:
    Buffer take(std::size_t size) {
        {
            std::lock_guard lock(mutex_);
            for (auto it = idle_.begin(); it != idle_.end(); ++it)
                if (it->size == size) {
                    const Buffer found = *it;
                    idle_.erase(it);
                    idleBytes_ -= size;
                    return found;
                }
        }
        Buffer fresh{LargeMemory::allocate(kHeader + size), size};
        if (fresh.memory)
            std::memcpy(fresh.memory, &size, sizeof size);
        return fresh;
    }

    void give(Buffer buffer) {
        std::lock_guard lock(mutex_);
        idle_.push_front(buffer);
        idleBytes_ += buffer.size;
        while (idleBytes_ > kMostIdleBytes) {
            idleBytes_ -= idle_.back().size;
            std::free(idle_.back().memory);
            idle_.pop_back();
        }
    }

    std::size_t idleBytes() {
        std::lock_guard lock(mutex_);
        return idleBytes_;
    }

private:
    std::mutex mutex_;
    std::deque<Buffer> idle_; // most recently released first
    std::size_t idleBytes_ = 0;
};

// Never destroyed: surfaces released while the process exits still hand their memory back.
Pool& pool() {
    static Pool* const instance = new Pool;
    return *instance;
}

const cairo_user_data_key_t kBufferKey{};

void releaseBuffer(void* memory) {
    Buffer buffer{memory, 0};
    std::memcpy(&buffer.size, memory, sizeof buffer.size);
    pool().give(buffer);
}

} // namespace

SurfaceHandle SurfacePool::make(int width, int height, bool cleared) {
    if (width <= 0 || height <= 0)
        return nullptr;
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
    const std::size_t size = stride > 0 ? std::size_t(stride) * std::size_t(height) : 0;
    if (!kPooling || size < kSmallestPooled) {
        SurfaceHandle surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
        if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
            return nullptr;
        return surface;
    }
    Buffer buffer = pool().take(size);
    if (!buffer.memory)
        return nullptr;
    if (cleared)
        std::memset(buffer.pixels(), 0, size);
    SurfaceHandle surface(cairo_image_surface_create_for_data(buffer.pixels(), CAIRO_FORMAT_ARGB32,
                                                              width, height, stride));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(surface.get(), &kBufferKey, buffer.memory, releaseBuffer) !=
            CAIRO_STATUS_SUCCESS) {
        surface.reset();
        pool().give(buffer);
        return nullptr;
    }
    return surface;
}

std::size_t SurfacePool::idleBytes() {
    return pool().idleBytes();
}

} // namespace platform
