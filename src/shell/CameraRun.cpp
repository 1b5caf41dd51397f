#include "shell/CameraRun.h"

#include <iostream>

int CameraRun::run(const Settings&) {
    std::cerr << "morvane: the camera itself is not available in this build yet; only the "
                 "defaults command works\n";
    return 1;
}
