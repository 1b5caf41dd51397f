#pragma once

#include <ostream>
#include <string>
#include <vector>

// `morvane defaults read|write|delete [KEY [VALUE]]`: the way the preferences are changed
// (the camera itself writes only the self-timer's delay, from its key). Every value written
// here is checked against what the camera understands before it reaches the file.
class DefaultsCommand {
public:
    // Exit statuses: 0 done, 1 the preferences file could not be written, 2 a wrong action,
    // key or value (nothing is changed then).
    static int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

    // How many skins the camera ships: frame0.png, frame1.png, ... counted until the first
    // gap. A "skin" preference is valid from 0 to this minus one.
    static int shippedSkinCount();
};
