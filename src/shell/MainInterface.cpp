#include "shell/MainInterface.h"

#include "capture/MorvaneViewController.h"
#include "shell/KeyboardShortcuts.h"
#include "shell/MorvaneAppDelegate.h"

std::shared_ptr<MorvaneAppDelegate> MainInterface::load(platform::Application& application) {
    auto window = std::make_shared<platform::Window>();
    auto controller = std::make_shared<MorvaneViewController>();
    auto delegate = std::make_shared<MorvaneAppDelegate>();
    delegate->setWindow(window);
    delegate->setViewController(controller);
    application.setName(kApplicationName);
    application.setWindow(window);
    application.setRootViewController(controller);
    application.setDelegate(delegate);
    application.setKeyHandler([weak = std::weak_ptr(delegate)](const std::string& key) {
        const auto self = weak.lock();
        return self && KeyboardShortcuts::handle(*self, key);
    });
    return delegate;
}
