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
    virtual void viewDidUnload() {}
    virtual void didReceiveMemoryWarning() {}

    // Interface file wiring. The defaults connect nothing.
    virtual void connectOutlet(const std::string& name, std::shared_ptr<View> view);
    virtual std::function<void()> actionNamed(const std::string& name);

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
    std::shared_ptr<View> view_;
};

} // namespace platform
