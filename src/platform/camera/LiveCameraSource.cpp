#include "platform/camera/LiveCameraSource.h"

#include "platform/camera/CameraDeviceMonitor.h"
#include "platform/camera/GstreamerCameraSource.h"
#include "platform/camera/SceneCameraSource.h"

#include <algorithm>
#include <chrono>

namespace platform {

namespace {

// How long one wait for a starting camera lasts before its state is looked at again.
constexpr double kWaitStepSeconds = 0.1;

// Counters of different sources shown one after the other are told apart by this many bits.
constexpr int kGenerationShift = 40;

} // namespace

struct LiveCameraSource::State {
    struct Entry {
        enum class Kind { None, Fixed, Device, Scene };
        Kind kind = Kind::None;
        std::string name;
        CameraDevice device;

        bool is(const Entry& other) const {
            if (kind != other.kind)
                return false;
            return kind != Kind::Device || device.isSameCamera(other.device);
        }
    };

    State(Request request, Devices devices)
        : request(std::move(request)), devices(std::move(devices)),
          scene(std::make_shared<SceneCameraSource>()) {}

    const Request request;
    const Devices devices;
    const std::shared_ptr<SceneCameraSource> scene;

    // What is shown, or was until it went: its source is null while starting or gone.
    Entry shown;
    std::shared_ptr<CameraSource> current;
    Entry pendingEntry;
    std::shared_ptr<CameraSource> pending;
    // Whether the user asked for the pending camera, so that its failure is theirs to see.
    bool pendingAsked = false;
    // Cameras still to try after the pending one: at the start, or as they appear.
    std::vector<Entry> queue;
    std::vector<CameraDevice> known;
    bool watching = false;
    std::uint64_t seenChanges = 0;
    CameraStatus status;
    // Counts changes of what is shown, so that the frame counter changes with them.
    std::uint64_t generation = 1;
    std::vector<CameraStatus> untold;

    Entry sceneEntry() const { return {Entry::Kind::Scene, scene->description(), {}}; }
    static Entry deviceEntry(const CameraDevice& device) {
        return {Entry::Kind::Device, device.name, device};
    }
    Entry fixedEntry() const { return {Entry::Kind::Fixed, request.name, {}}; }

    void watch() {
        if (watching)
            return;
        watching = true;
        if (devices.list)
            known = devices.list();
        if (devices.changes)
            seenChanges = devices.changes();
    }

    void start() {
        if (request.watchCameras || request.kind == Request::Kind::Auto ||
            request.kind == Request::Kind::Named)
            watch();
        switch (request.kind) {
        case Request::Kind::Auto:
            showScene(false);
            for (const CameraDevice& device : known)
                queue.push_back(deviceEntry(device));
            startNextQueued();
            break;
        case Request::Kind::Named: {
            const auto found = std::find_if(known.begin(), known.end(), [&](const auto& device) {
                return device.isCalled(request.name);
            });
            if (found != known.end()) {
                shown = deviceEntry(*found);
                status = {CameraStatus::Kind::Live, shown.name, {}, {}};
                startPending(shown, true);
            } else {
                showMissing();
            }
            break;
        }
        case Request::Kind::Scene:
            showScene(false);
            break;
        case Request::Kind::Fixed:
            shown = fixedEntry();
            status = {CameraStatus::Kind::Live, shown.name, {}, {}};
            startPending(shown, true);
            break;
        }
        update();
    }

    void update() {
        if (watching && devices.changes && devices.list) {
            const std::uint64_t changes = devices.changes();
            if (changes != seenChanges) {
                seenChanges = changes;
                refreshDevices();
            }
        }
        // A camera that showed a picture is taken even if it has stopped since: it then goes
        // as any camera in use does, and says why.
        if (pending) {
            if (pending->frameCounter() > 0)
                adoptPending();
            else if (pending->failed())
                pendingFailed(pending->failureReason());
        }
        if (current && current != scene && current->failed()) {
            const std::string reason = current->failureReason();
            becomeGone(shown, reason.empty() ? "it stopped" : reason);
        }
    }

    bool listed(const Entry& camera) const {
        return std::any_of(known.begin(), known.end(), [&](const CameraDevice& device) {
            return device.isSameCamera(camera.device);
        });
    }

    void refreshDevices() {
        std::vector<CameraDevice> now = devices.list();
        std::vector<CameraDevice> added;
        for (const CameraDevice& device : now)
            if (std::none_of(known.begin(), known.end(),
                             [&](const CameraDevice& k) { return k.isSameCamera(device); }))
                added.push_back(device);
        known = std::move(now);
        std::erase_if(queue, [this](const Entry& camera) {
            return camera.kind == Entry::Kind::Device && !listed(camera);
        });
        if (pending && pendingEntry.kind == Entry::Kind::Device && !listed(pendingEntry))
            pendingFailed("it was unplugged");
        if (current && shown.kind == Entry::Kind::Device && !listed(shown))
            becomeGone(shown, "it was unplugged");
        // The cameras that have just appeared are tried in turn until one shows a picture.
        for (const CameraDevice& device : added)
            if (wants(deviceEntry(device)))
                queue.push_back(deviceEntry(device));
        if (!pending)
            startNextQueued();
    }

    // Whether a camera that has just appeared should be taken.
    bool wants(const Entry& camera) const {
        switch (status.kind) {
        case CameraStatus::Kind::Gone:
            return true;
        case CameraStatus::Kind::Missing:
            return camera.device.isCalled(request.name);
        default:
            return request.kind == Request::Kind::Auto && shown.kind == Entry::Kind::Scene;
        }
    }

    void startPending(const Entry& camera, bool asked) {
        pendingEntry = camera;
        pendingAsked = asked;
        if (camera.kind == Entry::Kind::Fixed && request.openFixed)
            pending = request.openFixed();
        else if (camera.kind == Entry::Kind::Device && devices.open)
            pending = devices.open(camera.device);
        else
            pending = nullptr;
        if (!pending)
            pendingFailed("it cannot be opened");
    }

    void startNextQueued() {
        if (queue.empty())
            return;
        const Entry next = queue.front();
        queue.erase(queue.begin());
        startPending(next, false);
    }

    void adoptPending() {
        current = std::move(pending);
        pending.reset();
        shown = pendingEntry;
        queue.clear();
        ++generation;
        tell({CameraStatus::Kind::Live, shown.name, {}, {}});
    }

    void pendingFailed(const std::string& reason) {
        const Entry camera = pendingEntry;
        const bool asked = pendingAsked;
        pending.reset();
        if (asked)
            becomeGone(camera, reason);
        else
            untold.push_back({CameraStatus::Kind::NotStarted, camera.name, reason, {}});
        startNextQueued();
    }

    void becomeGone(const Entry& camera, const std::string& reason) {
        // Closing a pipeline waits a second at most.
        current.reset();
        shown = camera;
        ++generation;
        tell({CameraStatus::Kind::Gone, camera.name, reason, {}});
    }

    void showScene(bool announce) {
        current = scene;
        shown = sceneEntry();
        ++generation;
        status = {CameraStatus::Kind::Live, shown.name, {}, {}};
        if (announce)
            untold.push_back(status);
    }

    void showMissing() {
        showScene(false);
        std::vector<std::string> names;
        for (const CameraDevice& device : known)
            names.push_back(device.name);
        tell({CameraStatus::Kind::Missing, request.name, {}, std::move(names)});
    }

    void tell(CameraStatus news) {
        if (news == status)
            return;
        status = std::move(news);
        untold.push_back(status);
    }

    bool switchToNext() {
        if (!watching) {
            watch();
            update();
        }
        std::vector<Entry> cycle;
        if (request.kind == Request::Kind::Fixed)
            cycle.push_back(fixedEntry());
        for (const CameraDevice& device : known)
            cycle.push_back(deviceEntry(device));
        cycle.push_back(sceneEntry());
        const Entry& from = pending ? pendingEntry : shown;
        const auto at = std::find_if(cycle.begin(), cycle.end(),
                                     [&](const Entry& camera) { return camera.is(from); });
        const bool alone = cycle.size() == 1 && at != cycle.end();
        if (alone && !pending && status.kind == CameraStatus::Kind::Live)
            return false;
        const Entry next =
            at == cycle.end() ? cycle.front() : cycle[(at - cycle.begin() + 1) % cycle.size()];
        pending.reset();
        queue.clear();
        if (next.kind == Entry::Kind::Scene)
            showScene(true);
        else
            startPending(next, true);
        return true;
    }
};

LiveCameraSource::LiveCameraSource(Request request, Devices devices, Listener listener)
    : listener_(std::move(listener)),
      state_(std::make_unique<State>(std::move(request), std::move(devices))) {
    {
        std::lock_guard lock(mutex_);
        state_->start();
    }
    report();
}

LiveCameraSource::~LiveCameraSource() = default;

LiveCameraSource::Devices LiveCameraSource::machineCameras() {
    struct Lazy {
        std::once_flag once;
        std::unique_ptr<CameraDeviceMonitor> monitor;
        CameraDeviceMonitor& get() {
            std::call_once(once, [this] { monitor = std::make_unique<CameraDeviceMonitor>(); });
            return *monitor;
        }
    };
    auto monitor = std::make_shared<Lazy>();
    return Devices{
        [monitor] { return monitor->get().devices(); },
        [monitor] { return monitor->get().changes(); },
        [](const CameraDevice& device) -> std::shared_ptr<CameraSource> {
            return std::make_shared<GstreamerCameraSource>(
                device, GstreamerCameraSource::Settings{device.name, true});
        },
    };
}

void LiveCameraSource::report() const {
    std::vector<CameraStatus> news;
    {
        std::lock_guard lock(mutex_);
        news.swap(state_->untold);
    }
    if (listener_)
        for (const CameraStatus& status : news)
            listener_(status);
}

ImageRef LiveCameraSource::frame(double now) {
    std::shared_ptr<CameraSource> source;
    {
        std::lock_guard lock(mutex_);
        state_->update();
        source = state_->current;
    }
    report();
    return source ? source->frame(now) : nullptr;
}

ImageRef LiveCameraSource::stillFrame(double now) {
    std::shared_ptr<CameraSource> source;
    {
        std::lock_guard lock(mutex_);
        state_->update();
        source = state_->current;
    }
    report();
    return source ? source->stillFrame(now) : nullptr;
}

std::string LiveCameraSource::description() const {
    std::lock_guard lock(mutex_);
    return state_->shown.name;
}

std::uint64_t LiveCameraSource::frameCounter() const {
    std::uint64_t counter = 0;
    {
        std::lock_guard lock(mutex_);
        state_->update();
        counter = (state_->generation << kGenerationShift) +
                  (state_->current ? state_->current->frameCounter() : 0);
    }
    report();
    return counter;
}

double LiveCameraSource::secondsToNextFrame() const {
    std::lock_guard lock(mutex_);
    const std::shared_ptr<CameraSource>& current = state_->current;
    if (!current)
        return 0;
    // A picture, with no camera starting or watched for, changes only when the user moves
    // on to the next camera: a few looks a second see that soon enough.
    if (!current->isLive() && !state_->pending && !state_->watching)
        return kStillLook;
    return current->secondsToNextFrame();
}

bool LiveCameraSource::isWebcam() const {
    std::lock_guard lock(mutex_);
    return state_->current && state_->shown.kind == State::Entry::Kind::Device &&
           state_->current->isWebcam();
}

CameraStatus LiveCameraSource::status() const {
    CameraStatus status;
    {
        std::lock_guard lock(mutex_);
        state_->update();
        status = state_->status;
    }
    report();
    return status;
}

bool LiveCameraSource::waitForFirstFrame(double timeoutSeconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(timeoutSeconds);
    bool shows = false;
    for (;;) {
        std::shared_ptr<CameraSource> starting;
        {
            std::lock_guard lock(mutex_);
            state_->update();
            starting = state_->pending;
            shows = state_->current != nullptr;
        }
        report();
        const double left = std::chrono::duration<double>(deadline - Clock::now()).count();
        if (!starting || left <= 0)
            break;
        starting->waitForFirstFrame(std::min(left, kWaitStepSeconds));
    }
    return shows;
}

bool LiveCameraSource::switchToNextCamera() {
    bool switched = false;
    {
        std::lock_guard lock(mutex_);
        state_->update();
        switched = state_->switchToNext();
        state_->update();
    }
    report();
    return switched;
}

} // namespace platform
