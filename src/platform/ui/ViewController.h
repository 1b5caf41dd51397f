#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {

// Owns one view, made on first use: in code (override loadView) or from an interface file,
// a property list in the resources named `<nibName>.ui.plist`. While the file loads, each
// view with an outlet name is handed to connectOutlet() and each button's action name is
// turned into an action by actionNamed(), so a controller wires itself.
class ViewController : public std::enable_shared_from_this<ViewController> {
public:
    ViewController() = default;
    explicit ViewController(std::string nibName) : nibName_(std::move(nibName)) {}
    virtual ~ViewController() = default;
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    const std::string& nibName() const { return nibName_; }

    // Loads the view on first use (loadView, then viewDidLoad).
    std::shared_ptr<View> view();
    bool isViewLoaded() const { return view_ != nullptr; }
    void setView(std::shared_ptr<View> view) { view_ = std::move(view); }

    // Makes the view: the interface file named by nibName(), or a plain view of
    // (0, 0, 320, 480) points when there is no name. A file that is missing or malformed
    // gives the plain view and a message on standard error.
    virtual void loadView();
    virtual void viewDidLoad() {}
    // After the view was put on screen.
    virtual void viewDidAppear(bool animated) { (void)animated; }
    // After the view was taken off screen by a modal presentation or dismissal.
    virtual void viewDidDisappear(bool animated) { (void)animated; }
    virtual void viewDidUnload() {}
    virtual void didReceiveMemoryWarning() {}

    // Interface file wiring. The defaults connect nothing.
    virtual void connectOutlet(const std::string& name, std::shared_ptr<View> view);
    virtual std::function<void()> actionNamed(const std::string& name);

    // How long a modal view slides, in seconds.
    static constexpr double kModalTransitionDuration = 0.3;

    // Shows `controller`'s view in place of this controller's view: in the same parent, at
    // the same position among its siblings and over the same rectangle (this view's frame
    // without its transform), so it lies beneath every view added to that parent later. This
    // view leaves the parent, at once or, animated, once the presented view has slid up from
    // the bottom over it. A view that is in no parent hands its place to the front of the
    // application's window. Then this controller gets viewDidDisappear and the presented one
    // viewDidAppear. Refused, with a message, while this controller presents another or
    // when `controller` is presented already.
    void presentModalViewController(std::shared_ptr<ViewController> controller, bool animated);
    // Puts this controller's view back where the presented view is (animated, the presented
    // view slides down off it and leaves afterwards), then tells the presented controller
    // viewDidDisappear and this one viewDidAppear, at once in both cases. Sent to a
    // presented controller that presents nothing itself, it dismisses that controller.
    void dismissModalViewControllerAnimated(bool animated);

    // Modal presentation (a controller shown over this one, and the one this is shown over)
    // is built on these two links.
    std::shared_ptr<ViewController> modalViewController() const { return modalViewController_; }
    std::shared_ptr<ViewController> parentViewController() const {
        return parentViewController_.lock();
    }

protected:
    std::shared_ptr<ViewController> modalViewController_;
    std::weak_ptr<ViewController> parentViewController_;

private:
    std::string nibName_;
    // The presented view went to the front of the window because this view was in no
    // parent: a dismissal must not put this view there.
    bool modalOverWindow_ = false;
    std::shared_ptr<View> view_;
};

} // namespace platform
