#include "platform/camera/V4l2Device.h"

#include <libv4l2.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr unsigned kBufferCount = 4;

// Retries an ioctl that a signal interrupted, as every V4L2 program must.
int xioctl(int fd, unsigned long request, void* argument) {
    int result;
    do {
        result = v4l2_ioctl(fd, request, argument);
    } while (result == -1 && errno == EINTR);
    return result;
}

std::string errorText(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

std::uint32_t captureCaps(const v4l2_capability& caps) {
    return (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
}

std::string cardName(const v4l2_capability& caps) {
    const auto* card = reinterpret_cast<const char*>(caps.card);
    return std::string(card, strnlen(card, sizeof caps.card));
}

// Errors after which the next frame is usually fine: nothing ready yet, or a frame that
// libv4l2 could not decode (a damaged MJPEG frame). A device that keeps failing this way is
// caught by the capture thread's stall timer.
bool transientError(int error) {
    return error == EAGAIN || error == EINTR || error == EIO || error == EPIPE;
}

VideoDevice::ReadResult failure(std::string& reason, const char* what) {
    reason = errno == ENODEV ? std::string("the device was disconnected") : errorText(what);
    return VideoDevice::ReadResult::Failed;
}

// Opens a node with the plain system calls and checks it is a capture device, before libv4l2
// sees it: libv4l2 prints its own complaints about anything else. Returns the open descriptor,
// or -1 with the reason.
int openCaptureDevice(const std::string& path, v4l2_capability& caps, std::string& reason) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        reason = errorText("cannot open");
        return -1;
    }
    if (!S_ISCHR(info.st_mode)) {
        reason = "not a video device";
        return -1;
    }
    const int fd = open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = errorText("cannot open");
        return -1;
    }
    int result;
    do {
        result = ioctl(fd, VIDIOC_QUERYCAP, &caps);
    } while (result == -1 && errno == EINTR);
    if (result == -1) {
        reason = "not a video device";
        close(fd);
        return -1;
    }
    if (!(captureCaps(caps) & V4L2_CAP_VIDEO_CAPTURE)) {
        reason = "not a capture device";
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

V4l2Device::V4l2Device(std::string path) : path_(std::move(path)) {}

V4l2Device::~V4l2Device() {
    stop();
}

std::vector<CaptureSize> V4l2Device::offeredSizes() {
    std::vector<CaptureSize> sizes;
    auto sizesOf = [&](std::uint32_t pixelFormat) {
        v4l2_frmsizeenum size{};
        size.pixel_format = pixelFormat;
        for (size.index = 0; xioctl(fd_, VIDIOC_ENUM_FRAMESIZES, &size) == 0; ++size.index) {
            if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
                sizes.push_back({static_cast<int>(size.discrete.width),
                                 static_cast<int>(size.discrete.height)});
                continue;
            }
            // A range of sizes: offer the usual sizes that fall inside it.
            const auto& range = size.stepwise;
            for (CaptureSize common :
                 {CaptureSize{640, 480}, CaptureSize{800, 600}, CaptureSize{960, 720},
                  CaptureSize{1024, 768}, CaptureSize{1280, 720}, CaptureSize{320, 240}}) {
                const auto w = static_cast<std::uint32_t>(common.width);
                const auto h = static_cast<std::uint32_t>(common.height);
                if (w >= range.min_width && w <= range.max_width && h >= range.min_height &&
                    h <= range.max_height)
                    sizes.push_back(common);
            }
            break;
        }
    };
    // libv4l2 lists the sizes it can convert to RGB24; a driver may only list its own formats.
    sizesOf(V4L2_PIX_FMT_RGB24);
    if (sizes.empty()) {
        v4l2_fmtdesc format{};
        format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        for (format.index = 0; xioctl(fd_, VIDIOC_ENUM_FMT, &format) == 0; ++format.index)
            sizesOf(format.pixelformat);
    }
    return sizes;
}

bool V4l2Device::start(std::string& reason) {
    stop();
    v4l2_capability caps{};
    const int plain = openCaptureDevice(path_, caps, reason);
    if (plain < 0)
        return false;
    fd_ = v4l2_fd_open(plain, 0);
    if (fd_ < 0) {
        reason = errorText("cannot start the conversion library");
        close(plain);
        return false;
    }
    card_ = cardName(caps);
    const std::uint32_t deviceCaps = captureCaps(caps);

    const std::optional<CaptureSize> wanted = chooseCaptureSize(offeredSizes());
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix.width = wanted ? wanted->width : 640;
    format.fmt.pix.height = wanted ? wanted->height : 480;
    format.fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
    format.fmt.pix.field = V4L2_FIELD_ANY;
    if (xioctl(fd_, VIDIOC_S_FMT, &format) == -1) {
        reason = errorText("cannot set the picture format");
        stop();
        return false;
    }
    // The driver may have adjusted the request: what it returns is what will arrive.
    const std::uint32_t pixelFormat = format.fmt.pix.pixelformat;
    if (pixelFormat != V4L2_PIX_FMT_RGB24 && pixelFormat != V4L2_PIX_FMT_BGR24) {
        reason = "the device cannot deliver RGB pictures";
        stop();
        return false;
    }
    blueFirst_ = pixelFormat == V4L2_PIX_FMT_BGR24;
    width_ = static_cast<int>(format.fmt.pix.width);
    height_ = static_cast<int>(format.fmt.pix.height);
    bytesPerLine_ = std::max(static_cast<int>(format.fmt.pix.bytesperline), width_ * 3);
    imageSize_ = std::max<std::size_t>(format.fmt.pix.sizeimage,
                                       static_cast<std::size_t>(bytesPerLine_) * height_);
    if (width_ <= 0 || height_ <= 0) {
        reason = "the device reports an empty picture size";
        stop();
        return false;
    }
    if (deviceCaps & V4L2_CAP_STREAMING) {
        if (startStreaming(reason))
            return true;
        releaseBuffers();
        if (!(deviceCaps & V4L2_CAP_READWRITE)) {
            stop();
            return false;
        }
    } else if (!(deviceCaps & V4L2_CAP_READWRITE)) {
        reason = "the device offers neither streaming nor read()";
        stop();
        return false;
    }
    readBuffer_.assign(imageSize_, 0);
    return true;
}

bool V4l2Device::startStreaming(std::string& reason) {
    v4l2_requestbuffers request{};
    request.count = kBufferCount;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    if (xioctl(fd_, VIDIOC_REQBUFS, &request) == -1 || request.count == 0) {
        reason = errorText("cannot get capture buffers");
        return false;
    }
    for (unsigned i = 0; i < request.count; ++i) {
        v4l2_buffer buffer{};
        buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buffer.memory = V4L2_MEMORY_MMAP;
        buffer.index = i;
        if (xioctl(fd_, VIDIOC_QUERYBUF, &buffer) == -1) {
            reason = errorText("cannot query a capture buffer");
            return false;
        }
        void* start = v4l2_mmap(nullptr, buffer.length, PROT_READ | PROT_WRITE, MAP_SHARED, fd_,
                                buffer.m.offset);
        if (start == MAP_FAILED) {
            reason = errorText("cannot map a capture buffer");
            return false;
        }
        buffers_.push_back({start, buffer.length});
        if (xioctl(fd_, VIDIOC_QBUF, &buffer) == -1) {
            reason = errorText("cannot queue a capture buffer");
            return false;
        }
    }
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (xioctl(fd_, VIDIOC_STREAMON, &type) == -1) {
        reason = errorText("cannot start streaming");
        return false;
    }
    streaming_ = true;
    return true;
}

VideoDevice::ReadResult V4l2Device::readFrame(double timeoutSeconds,
                                              const std::function<void(const VideoFrame&)>& deliver,
                                              std::string& reason) {
    if (fd_ < 0) {
        reason = "the device is not open";
        return ReadResult::Failed;
    }
    pollfd waiting{fd_, POLLIN, 0};
    const int timeoutMs =
        static_cast<int>(std::lround(std::clamp(timeoutSeconds, 0.0, 60.0) * 1000));
    const int ready = poll(&waiting, 1, timeoutMs);
    if (ready == 0 || (ready == -1 && errno == EINTR))
        return ReadResult::Timeout;
    if (ready == -1) {
        reason = errorText("cannot wait for a frame");
        return ReadResult::Failed;
    }
    if (waiting.revents & (POLLERR | POLLHUP | POLLNVAL)) {
        reason = "the device was disconnected";
        return ReadResult::Failed;
    }
    VideoFrame frame{width_, height_, bytesPerLine_, blueFirst_, nullptr, 0};
    if (!streaming_) {
        const ssize_t got = v4l2_read(fd_, readBuffer_.data(), readBuffer_.size());
        if (got == -1)
            return transientError(errno) ? ReadResult::Timeout : failure(reason, "cannot read");
        frame.data = readBuffer_.data();
        frame.size = static_cast<std::size_t>(got);
        deliver(frame);
        return ReadResult::Frame;
    }
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    if (xioctl(fd_, VIDIOC_DQBUF, &buffer) == -1)
        return transientError(errno) ? ReadResult::Timeout : failure(reason, "cannot take a frame");
    if (buffer.index < buffers_.size() && !(buffer.flags & V4L2_BUF_FLAG_ERROR)) {
        frame.data = static_cast<const std::uint8_t*>(buffers_[buffer.index].start);
        frame.size = std::min<std::size_t>(buffer.bytesused, buffers_[buffer.index].length);
        deliver(frame);
    }
    if (xioctl(fd_, VIDIOC_QBUF, &buffer) == -1)
        return failure(reason, "cannot requeue a frame");
    // A corrupted buffer is not worth a failure; the next one usually is fine.
    return frame.data ? ReadResult::Frame : ReadResult::Timeout;
}

std::string V4l2Device::description() const {
    std::string text = card_.empty() ? std::string() : card_;
    if (width_ > 0) {
        if (!text.empty())
            text += ", ";
        text += std::to_string(width_) + " by " + std::to_string(height_);
    }
    return text;
}

void V4l2Device::releaseBuffers() {
    if (streaming_) {
        v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        xioctl(fd_, VIDIOC_STREAMOFF, &type);
        streaming_ = false;
    }
    if (buffers_.empty())
        return;
    for (const Buffer& buffer : buffers_)
        v4l2_munmap(buffer.start, buffer.length);
    buffers_.clear();
    // Handing the buffers back lets read() work after a failed attempt at streaming.
    v4l2_requestbuffers none{};
    none.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    none.memory = V4L2_MEMORY_MMAP;
    xioctl(fd_, VIDIOC_REQBUFS, &none);
}

void V4l2Device::stop() {
    if (fd_ < 0)
        return;
    releaseBuffers();
    readBuffer_.clear();
    v4l2_close(fd_);
    fd_ = -1;
}

std::vector<WebcamInfo> listWebcams(const std::filesystem::path& folder) {
    std::vector<std::pair<long, std::filesystem::path>> nodes;
    std::error_code error;
    // Increments that fail (a folder changing under us) end the listing instead of throwing.
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("video", 0) != 0 || name.size() == 5 ||
            name.find_first_not_of("0123456789", 5) != std::string::npos || name.size() > 12)
            continue;
        nodes.emplace_back(std::stol(name.substr(5)), it->path());
    }
    std::sort(nodes.begin(), nodes.end());

    std::vector<WebcamInfo> found;
    for (const auto& [number, node] : nodes) {
        // Plain system calls: libv4l2's own open would probe formats, which a list needs not.
        v4l2_capability caps{};
        std::string reason;
        const int fd = openCaptureDevice(node.string(), caps, reason);
        if (fd < 0)
            continue;
        close(fd);
        found.push_back({node.string(), cardName(caps)});
    }
    return found;
}

} // namespace platform
