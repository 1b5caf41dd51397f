#pragma once

namespace platform {

class AlertView;

// Told which button of an alert was pressed: 0 the cancel button, 1 the other one.
class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(AlertView& alertView, int buttonIndex) = 0;
};

} // namespace platform
