#include "shell/PhotoWalk.h"

#include "platform/ui/PhotoLibraryListing.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool isHidden(const fs::path& path) {
    const std::string name = path.filename().string();
    return !name.empty() && name[0] == '.';
}

} // namespace

fs::path PhotoWalk::printName(const fs::path& photo) {
    return photo.stem().string() + ".jpg";
}

std::vector<PhotoWalk::Photo> PhotoWalk::list(const std::vector<std::string>& inputs,
                                              bool recursive, const fs::path& output,
                                              std::vector<Refusal>& refusals) {
    std::vector<Photo> photos;
    for (const std::string& input : inputs) {
        std::error_code error;
        if (fs::is_directory(input, error))
            walkFolder(input, recursive, output, photos, refusals);
        else
            photos.push_back({input, printName(input)});
    }
    return photos;
}

void PhotoWalk::walkFolder(const fs::path& folder, bool recursive, const fs::path& output,
                           std::vector<Photo>& photos, std::vector<Refusal>& refusals) {
    std::error_code error;
    std::vector<fs::path> found; // relative to folder
    fs::recursive_directory_iterator it(folder, fs::directory_options::none, error), end;
    if (error) {
        refusals.push_back({folder.string(), "the folder cannot be read"});
        return;
    }
    for (; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        std::error_code kind;
        if (it->is_directory(kind)) {
            std::error_code same;
            if (!recursive || isHidden(path) || it->is_symlink(kind) ||
                fs::equivalent(path, output, same))
                it.disable_recursion_pending();
            continue;
        }
        if (isHidden(path) || !it->is_regular_file(kind) ||
            !platform::PhotoLibraryListing::looksLikePicture(path))
            continue;
        found.push_back(path.lexically_relative(folder));
    }
    if (error) {
        refusals.push_back({folder.string(), "the folder cannot be read to the end"});
        return;
    }
    if (found.empty()) {
        refusals.push_back({folder.string(), recursive ? "no photos in it or its subfolders"
                                                       : "no photos in it (-r walks subfolders)"});
        return;
    }
    // Name order, a folder's photos before those of a subfolder named later: the same order
    // every run, whatever order the file system keeps.
    std::sort(found.begin(), found.end());
    for (const fs::path& relative : found)
        photos.push_back({folder / relative, relative.parent_path() / printName(relative)});
}
