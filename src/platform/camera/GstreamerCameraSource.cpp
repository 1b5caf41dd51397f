#include "platform/camera/GstreamerCameraSource.h"

#include "platform/camera/CaptureCaps.h"
#include "platform/camera/Gstreamer.h"
#include "platform/camera/VideoFrame.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>

namespace platform {

using Clock = std::chrono::steady_clock;

// What the worker, the pipeline's threads and the source share.
struct GstreamerCameraSource::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    ImageRef newest;
    std::uint64_t counter = 0;
    bool failed = false;
    std::string reason;
    bool stopping = false;
    bool closed = false;
    // The start, then each frame: what a silence is measured from.
    Clock::time_point lastNews = Clock::now();

    // The first reason given is the one kept: later ones follow from it.
    void fail(const std::string& why) {
        {
            std::lock_guard lock(mutex);
            if (!failed) {
                failed = true;
                reason = why;
            }
        }
        changed.notify_all();
    }
    void deliver(ImageRef image) {
        {
            std::lock_guard lock(mutex);
            newest = std::move(image);
            ++counter;
            lastNews = Clock::now();
        }
        changed.notify_all();
    }
};

struct GstreamerCameraSource::Plan {
    std::string description;
    std::shared_ptr<GstDevice> device;
    Settings settings;
};

namespace {

constexpr const char* kSizeName = "morvane-size";
constexpr const char* kSinkName = "morvane-sink";
constexpr const char* kNotNegotiated =
    "it offers no picture format that can be used (format not negotiated)";
// How often the worker looks at the clock for a silence.
constexpr auto kWatchInterval = std::chrono::milliseconds(100);

using SharedRef = std::shared_ptr<GstreamerCameraSource::Shared>;

// Frames as Cairo keeps its pixels: a native-endian word of 0xXXRRGGBB.
std::string frameCaps() {
    return G_BYTE_ORDER == G_LITTLE_ENDIAN ? "video/x-raw,format=BGRx" : "video/x-raw,format=xRGB";
}

std::string tail(bool decode) {
    return std::string("capsfilter name=") + kSizeName + (decode ? " ! jpegdec" : "") +
           " ! videoconvert ! " + frameCaps() + " ! appsink name=" + kSinkName;
}

bool contains(const char* text, const char* part) {
    return text && std::string_view(text).find(part) != std::string_view::npos;
}

std::string withoutFinalStop(std::string text) {
    while (!text.empty() && (text.back() == '.' || text.back() == '\n'))
        text.pop_back();
    return text;
}

// One short clause a user can act on, from what GStreamer reports.
std::string describe(const GError* error, const gchar* debug) {
    const char* message = error ? error->message : nullptr;
    if (contains(debug, "not-negotiated") || contains(message, "not negotiate") ||
        (error && error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_NEGOTIATION) ||
        (error && error->domain == GST_STREAM_ERROR && error->code == GST_STREAM_ERROR_FORMAT))
        return kNotNegotiated;
    if (contains(debug, "not-linked"))
        return "it gives no video that can be used (not linked)";
    if (error && error->domain == GST_RESOURCE_ERROR) {
        if (error->code == GST_RESOURCE_ERROR_BUSY || contains(debug, "Device or resource busy") ||
            contains(message, "busy"))
            return "it is busy: another program is using it";
        if (error->code == GST_RESOURCE_ERROR_NOT_AUTHORIZED ||
            contains(debug, "Permission denied") || contains(message, "Permission denied"))
            return "permission denied";
        if (contains(debug, "No such device") || contains(debug, "ENODEV"))
            return "it was disconnected";
        if (error->code == GST_RESOURCE_ERROR_NOT_FOUND || contains(debug, "No such file"))
            return "it is not there";
    }
    return message ? withoutFinalStop(message) : std::string("the pipeline failed");
}

GstBusSyncReply onMessage(GstBus*, GstMessage* message, gpointer data) {
    GstreamerCameraSource::Shared& shared = **static_cast<SharedRef*>(data);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GError* error = nullptr;
        gchar* debug = nullptr;
        gst_message_parse_error(message, &error, &debug);
        shared.fail(describe(error, debug));
        g_clear_error(&error);
        g_free(debug);
    } else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
        shared.fail("its picture ended");
    }
    // Nobody pops this bus: a message kept would only pile up.
    return GST_BUS_DROP;
}

GstFlowReturn onSample(GstAppSink* sink, gpointer data) {
    GstreamerCameraSource::Shared& shared = **static_cast<SharedRef*>(data);
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_OK;
    GstVideoInfo info;
    GstVideoFrame mapped;
    if (gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) &&
        gst_video_frame_map(&mapped, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
        const auto* data0 =
            static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped, 0));
        const auto* start = static_cast<const std::uint8_t*>(mapped.map[0].data);
        VideoFrame frame{GST_VIDEO_FRAME_WIDTH(&mapped), GST_VIDEO_FRAME_HEIGHT(&mapped),
                         GST_VIDEO_FRAME_PLANE_STRIDE(&mapped, 0), data0,
                         mapped.map[0].size - static_cast<std::size_t>(data0 - start)};
        // Converted here, on the pipeline's thread, so the window only ever swaps a pointer.
        ImageRef image = imageFromVideoFrame(frame);
        gst_video_frame_unmap(&mapped);
        if (image)
            shared.deliver(std::move(image));
    }
    gst_sample_unref(sample);
    return GST_FLOW_OK;
}

void releaseShared(gpointer data) {
    delete static_cast<SharedRef*>(data);
}

GstElement* byName(GstElement* pipeline, const char* name) {
    return gst_bin_get_by_name(GST_BIN(pipeline), name);
}

void setCaps(GstElement* pipeline, const std::string& text) {
    GstElement* filter = byName(pipeline, kSizeName);
    GstCaps* caps = gst_caps_from_string(text.c_str());
    if (filter && caps)
        g_object_set(filter, "caps", caps, nullptr);
    if (caps)
        gst_caps_unref(caps);
    if (filter)
        gst_object_unref(filter);
}

// The pipeline for a description: its source part, then the size filter and the frames' sink.
GstElement* buildFromDescription(const std::string& description, std::string& reason) {
    GError* error = nullptr;
    const std::string text = description + " ! " + tail(false);
    GstElement* pipeline =
        gst_parse_launch_full(text.c_str(), nullptr, GST_PARSE_FLAG_FATAL_ERRORS, &error);
    if (!pipeline || error) {
        // The source's own caps already rule out every picture the camera can take.
        if (error && error->domain == GST_PARSE_ERROR && error->code == GST_PARSE_ERROR_LINK &&
            contains(error->message, kSizeName))
            reason = kNotNegotiated;
        else
            reason = "cannot make its pipeline: " +
                     (error ? withoutFinalStop(error->message) : std::string("unknown error"));
        g_clear_error(&error);
        if (pipeline)
            gst_object_unref(pipeline);
        return nullptr;
    }
    return pipeline;
}

// The pipeline for a device at the size chosen from the caps it reports; MJPEG is decoded.
GstElement* buildFromDevice(GstDevice* device, CaptureSize limit, std::string& reason) {
    GstCaps* offered = gst_device_get_caps(device);
    const std::optional<CaptureOffer> chosen =
        chooseCaptureOffer(CaptureCaps::offers(offered, limit), limit);
    if (offered)
        gst_caps_unref(offered);

    GstElement* source = gst_device_create_element(device, nullptr);
    if (!source) {
        reason = "its stack cannot open it";
        return nullptr;
    }
    GError* error = nullptr;
    GstElement* rest =
        gst_parse_bin_from_description(tail(chosen && chosen->compressed).c_str(), TRUE, &error);
    if (!rest || error) {
        reason = "cannot make its pipeline: " +
                 (error ? withoutFinalStop(error->message) : std::string("unknown error"));
        g_clear_error(&error);
        if (rest)
            gst_object_unref(rest);
        gst_object_unref(source);
        return nullptr;
    }
    GstElement* pipeline = gst_pipeline_new("morvane-camera");
    gst_bin_add_many(GST_BIN(pipeline), source, rest, nullptr);
    if (!gst_element_link(source, rest)) {
        reason = "it gives no video";
        gst_object_unref(pipeline);
        return nullptr;
    }
    if (chosen)
        setCaps(pipeline, CaptureCaps::filterFor(*chosen));
    return pipeline;
}

// For a description, the size is chosen once the source is ready to say what it offers. A
// source whose pads only appear while it plays (a decoder) is left to the pipeline.
void chooseDescribedSize(GstElement* pipeline, CaptureSize limit) {
    GstElement* filter = byName(pipeline, kSizeName);
    if (!filter)
        return;
    GstPad* pad = gst_element_get_static_pad(filter, "sink");
    GstCaps* offered = pad ? gst_pad_peer_query_caps(pad, nullptr) : nullptr;
    std::vector<CaptureOffer> offers = CaptureCaps::offers(offered, limit);
    std::erase_if(offers, [](const CaptureOffer& offer) { return offer.compressed; });
    if (offered)
        gst_caps_unref(offered);
    if (pad)
        gst_object_unref(pad);
    gst_object_unref(filter);
    if (const auto chosen = chooseCaptureOffer(offers, limit))
        setCaps(pipeline, CaptureCaps::filterFor(*chosen));
}

bool stopping(const SharedRef& shared) {
    std::lock_guard lock(shared->mutex);
    return shared->stopping;
}

// Starts the pipeline and keeps it until the source closes or it fails.
void run(GstElement* pipeline, const SharedRef& shared, const GstreamerCameraSource::Plan& plan) {
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, onMessage, new SharedRef(shared), releaseShared);
    gst_object_unref(bus);
    GstElement* sink = byName(pipeline, kSinkName);
    if (!sink) {
        shared->fail("its pipeline has no frame sink");
        return;
    }
    g_object_set(sink, "max-buffers", 1, "drop", TRUE, "enable-last-sample", FALSE, nullptr);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, new SharedRef(shared),
                               releaseShared);
    gst_object_unref(sink);

    if (!plan.device) {
        if (gst_element_set_state(pipeline, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
            shared->fail("it cannot start");
            return;
        }
        chooseDescribedSize(pipeline, plan.settings.limit);
    }
    if (stopping(shared))
        return;
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        shared->fail("it cannot start");
        return;
    }
    const auto stall = std::chrono::duration<double>(plan.settings.stallSeconds);
    std::unique_lock lock(shared->mutex);
    shared->lastNews = Clock::now();
    while (!shared->stopping && !shared->failed) {
        shared->changed.wait_for(lock, kWatchInterval);
        if (!shared->failed && Clock::now() - shared->lastNews > stall) {
            std::ostringstream text;
            text << "no picture for " << plan.settings.stallSeconds << " seconds";
            shared->failed = true;
            shared->reason = text.str();
            shared->changed.notify_all();
        }
    }
}

void work(SharedRef shared, GstreamerCameraSource::Plan plan) {
    std::string reason;
    GstElement* pipeline = nullptr;
    if (plan.device)
        pipeline = buildFromDevice(plan.device.get(), plan.settings.limit, reason);
    else
        pipeline = buildFromDescription(plan.description, reason);
    if (pipeline) {
        run(pipeline, shared, plan);
        // May block on a stuck device; the source has stopped waiting for it by then.
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    } else {
        shared->fail(reason);
    }
    {
        std::lock_guard lock(shared->mutex);
        shared->closed = true;
    }
    shared->changed.notify_all();
}

} // namespace

GstreamerCameraSource::GstreamerCameraSource(std::string description, Settings settings)
    : settings_(std::move(settings)), shared_(std::make_shared<Shared>()) {
    start(Plan{std::move(description), nullptr, settings_});
}

GstreamerCameraSource::GstreamerCameraSource(const CameraDevice& device, Settings settings)
    : settings_(std::move(settings)), shared_(std::make_shared<Shared>()) {
    if (!device.handle)
        shared_->fail("it is not there");
    else
        start(Plan{{}, device.handle, settings_});
}

void GstreamerCameraSource::start(Plan plan) {
    // Here rather than on the worker: starting GStreamer sets the environment, which no other
    // thread may read meanwhile.
    std::string error;
    if (!Gstreamer::start(error)) {
        shared_->fail("GStreamer cannot start: " + error);
        return;
    }
    worker_ = std::thread(work, shared_, std::move(plan));
}

GstreamerCameraSource::~GstreamerCameraSource() {
    if (!worker_.joinable())
        return;
    bool closed = false;
    {
        std::unique_lock lock(shared_->mutex);
        shared_->stopping = true;
        shared_->changed.notify_all();
        closed = shared_->changed.wait_for(lock, std::chrono::duration<double>(kCloseSeconds),
                                           [this] { return shared_->closed; });
    }
    // A device that does not let go within the second is left to finish on the worker, which
    // holds everything it still needs.
    if (closed)
        worker_.join();
    else
        worker_.detach();
}

ImageRef GstreamerCameraSource::frame(double) {
    std::lock_guard lock(shared_->mutex);
    return shared_->newest;
}

ImageRef GstreamerCameraSource::stillFrame(double) {
    std::lock_guard lock(shared_->mutex);
    return shared_->newest;
}

bool GstreamerCameraSource::failed() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->failed;
}

std::string GstreamerCameraSource::failureReason() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->reason;
}

std::uint64_t GstreamerCameraSource::frameCounter() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->counter;
}

bool GstreamerCameraSource::waitForFirstFrame(double timeoutSeconds) {
    std::unique_lock lock(shared_->mutex);
    shared_->changed.wait_for(lock, std::chrono::duration<double>(timeoutSeconds),
                              [this] { return shared_->counter > 0 || shared_->failed; });
    return shared_->counter > 0;
}

} // namespace platform
