#pragma once

#include <string>

// Where the full-size prints go, as a person would write it to find it: the photo album's
// folder, under the home folder written with "~".
class AlbumFolder {
public:
    static std::string shown();
};
