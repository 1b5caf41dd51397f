#include "platform/ui/ViewController.h"

#include "platform/ui/InterfaceLoader.h"

#include <cstdio>

namespace platform {

std::shared_ptr<View> ViewController::view() {
    if (!view_) {
        loadView();
        if (!view_)
            view_ = std::make_shared<View>(Rect{0, 0, 320, 480});
        viewDidLoad();
    }
    return view_;
}

void ViewController::loadView() {
    if (!nibName_.empty()) {
        std::string error;
        if (auto loaded = InterfaceLoader::loadNamed(nibName_, *this, error)) {
            view_ = std::move(loaded);
            return;
        }
        std::fprintf(stderr, "interface file %s: %s\n", nibName_.c_str(), error.c_str());
    }
    view_ = std::make_shared<View>(Rect{0, 0, 320, 480});
}

void ViewController::connectOutlet(const std::string&, std::shared_ptr<View>) {}

std::function<void()> ViewController::actionNamed(const std::string&) {
    return nullptr;
}

} // namespace platform
