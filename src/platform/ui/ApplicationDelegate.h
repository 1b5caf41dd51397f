#pragma once

namespace platform {

class Application;

// What the application tells the program about its life.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    // Once, before the run loop starts: build the screen here.
    virtual void applicationDidFinishLaunching(Application& application) = 0;
    // Once, when the application quits for any reason: save state here.
    virtual void applicationWillTerminate(Application& application) = 0;
};

} // namespace platform
