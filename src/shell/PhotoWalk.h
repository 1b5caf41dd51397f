#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The photos a batch of prints is made from, as the command line names them: a file as it is
// given, a folder by the photos in it.
class PhotoWalk {
public:
    struct Photo {
        std::filesystem::path path;
        // Where its print goes, under the output folder.
        std::filesystem::path print;
    };
    // An input that gave no photo, with the reason.
    struct Refusal {
        std::string input;
        std::string reason;
    };

    // Each input in turn. A file (or anything that is no folder, which the print then refuses
    // with its own reason) gives <its name>.jpg. A folder gives the files in it that start as
    // a picture does, in name order, and with recursive those of its subfolders too, each
    // print at the same place under the output folder as its photo under the folder: photos
    // of one name in two subfolders get two prints. Hidden files and folders are left out,
    // links to folders are not followed (a link back up would never end), and the output
    // folder is never walked, so a second run does not print the prints of the first.
    static std::vector<Photo> list(const std::vector<std::string>& inputs, bool recursive,
                                   const std::filesystem::path& output,
                                   std::vector<Refusal>& refusals);

    // A print's name for a photo: its name without the extension, ".jpg".
    static std::filesystem::path printName(const std::filesystem::path& photo);

private:
    static void walkFolder(const std::filesystem::path& folder, bool recursive,
                           const std::filesystem::path& output, std::vector<Photo>& photos,
                           std::vector<Refusal>& refusals);
};
