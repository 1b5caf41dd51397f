#include "platform/camera/CameraDeviceMonitor.h"

#include "platform/camera/Gstreamer.h"

#include <gst/gst.h>

#include <algorithm>
#include <cctype>
#include <mutex>

namespace platform {

// What the providers' threads and the readers share.
struct CameraDeviceMonitor::Watch {
    mutable std::mutex mutex;
    std::vector<CameraDevice> devices;
    std::uint64_t changes = 0;

    void add(GstDevice* device) {
        CameraDevice camera = describe(device);
        std::lock_guard lock(mutex);
        if (std::none_of(devices.begin(), devices.end(),
                         [&](const CameraDevice& d) { return d.isSameCamera(camera); })) {
            devices.push_back(std::move(camera));
            ++changes;
        }
    }
    void remove(GstDevice* device) {
        std::lock_guard lock(mutex);
        const auto before = devices.size();
        std::erase_if(devices,
                      [device](const CameraDevice& d) { return d.handle.get() == device; });
        changes += before - devices.size();
    }
};

namespace {

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

CameraDevice::Stack stackOf(GstDevice* device) {
    const std::string type = lowered(G_OBJECT_TYPE_NAME(device));
    if (type.find("pipewire") != std::string::npos)
        return CameraDevice::Stack::PipeWire;
    if (type.find("libcamera") != std::string::npos)
        return CameraDevice::Stack::Libcamera;
    if (type.find("v4l2") != std::string::npos)
        return CameraDevice::Stack::V4l2;
    return CameraDevice::Stack::Other;
}

std::string nodePath(GstDevice* device) {
    GstStructure* properties = gst_device_get_properties(device);
    if (!properties)
        return {};
    std::string path;
    for (const char* key : {"api.v4l2.path", "device.path", "object.path"}) {
        const gchar* value = gst_structure_get_string(properties, key);
        if (value && std::string_view(value).starts_with("/dev/")) {
            path = value;
            break;
        }
    }
    gst_structure_free(properties);
    return path;
}

// Cameras in order of preference. The same camera reached through two stacks (PipeWire over
// Video4Linux where PipeWire does not hide the other) is offered once, by the preferred one.
std::vector<CameraDevice> ordered(std::vector<CameraDevice> devices) {
    std::stable_sort(
        devices.begin(), devices.end(),
        [](const CameraDevice& a, const CameraDevice& b) { return a.stack < b.stack; });
    std::vector<CameraDevice> kept;
    for (CameraDevice& device : devices) {
        const bool twin = std::any_of(kept.begin(), kept.end(), [&](const CameraDevice& k) {
            return k.stack != device.stack && k.name == device.name && k.path == device.path;
        });
        if (!twin)
            kept.push_back(std::move(device));
    }
    return kept;
}

GstBusSyncReply onMessage(GstBus*, GstMessage* message, gpointer data) {
    auto& watch = **static_cast<std::shared_ptr<CameraDeviceMonitor::Watch>*>(data);
    GstDevice* device = nullptr;
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_DEVICE_ADDED:
        gst_message_parse_device_added(message, &device);
        watch.add(device);
        break;
    case GST_MESSAGE_DEVICE_REMOVED:
        gst_message_parse_device_removed(message, &device);
        watch.remove(device);
        break;
    case GST_MESSAGE_DEVICE_CHANGED: {
        GstDevice* before = nullptr;
        gst_message_parse_device_changed(message, &device, &before);
        watch.remove(before);
        watch.add(device);
        if (before)
            gst_object_unref(before);
        break;
    }
    default:
        break;
    }
    if (device)
        gst_object_unref(device);
    // Nobody pops this bus: a message kept would only pile up.
    return GST_BUS_DROP;
}

} // namespace

CameraDevice CameraDeviceMonitor::describe(GstDevice* device) {
    CameraDevice camera;
    gchar* name = gst_device_get_display_name(device);
    camera.name = name ? name : "";
    g_free(name);
    camera.path = nodePath(device);
    camera.stack = stackOf(device);
    camera.handle = std::shared_ptr<GstDevice>(GST_DEVICE(gst_object_ref(device)),
                                               [](GstDevice* d) { gst_object_unref(d); });
    return camera;
}

CameraDeviceMonitor::CameraDeviceMonitor() : watch_(std::make_shared<Watch>()) {
    std::string ignored;
    if (!Gstreamer::start(ignored))
        return;
    monitor_ = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor_, "Video/Source", nullptr);
    GstBus* bus = gst_device_monitor_get_bus(monitor_);
    gst_bus_set_sync_handler(bus, onMessage, new std::shared_ptr<Watch>(watch_), [](gpointer data) {
        delete static_cast<std::shared_ptr<Watch>*>(data);
    });
    gst_object_unref(bus);
    if (!gst_device_monitor_start(monitor_))
        return;
    // What was there before the start is listed, not announced.
    GList* present = gst_device_monitor_get_devices(monitor_);
    for (GList* item = present; item; item = item->next)
        watch_->add(GST_DEVICE(item->data));
    g_list_free_full(present, gst_object_unref);
}

CameraDeviceMonitor::~CameraDeviceMonitor() {
    if (!monitor_)
        return;
    gst_device_monitor_stop(monitor_);
    GstBus* bus = gst_device_monitor_get_bus(monitor_);
    gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    gst_object_unref(bus);
    gst_object_unref(monitor_);
}

std::vector<CameraDevice> CameraDeviceMonitor::devices() const {
    std::lock_guard lock(watch_->mutex);
    return ordered(watch_->devices);
}

std::uint64_t CameraDeviceMonitor::changes() const {
    std::lock_guard lock(watch_->mutex);
    return watch_->changes;
}

std::vector<CameraDevice> CameraDeviceMonitor::list() {
    return CameraDeviceMonitor().devices();
}

} // namespace platform
