#pragma once

#include "prints/ListFiles.h"

#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"

#include <cstddef>
#include <string>
#include <vector>

// The camera's two lists as the running camera holds them: the configuration list and the
// print list, read at launch and written to their files whenever their content changes, with
// the print files that entering and leaving the print list brings. The Documents directory's
// files themselves are the stateless store's.
class PrintLists {
public:
    using List = std::vector<platform::PropertyList>;

    // Reads both lists, first clearing what interrupted writes left and afterwards taking back
    // the prints whose entries were lost; writes whichever list that changed.
    void load();

    List& configXML() { return configXML_; }
    const List& configXML() const { return configXML_; }
    void setConfigXML(List value) { configXML_ = std::move(value); }
    List& printsXML() { return printsXML_; }
    const List& printsXML() const { return printsXML_; }
    void setPrintsXML(List value) { printsXML_ = std::move(value); }

    // Writes each list whose content changed since it was last written: after every print,
    // removal and strip page, so that an abnormal end loses nothing.
    void saveLists();

    // A new entry at the head of the print list, the 21st print evicted with its two files,
    // and the small print written (JPEG, quality 1.0). False, with nothing changed, for a name
    // that is not one plain file name: it could not be stored or found again.
    bool saveImageWithName(const platform::ImageRef& image, const std::string& name);
    // The full-size print; the list is left alone.
    void saveImage2WithName(const platform::ImageRef& image, const std::string& name);
    // A file of the Documents directory, or nullptr.
    platform::ImageRef loadImage(const std::string& name) const;
    // A print name for a print made at that many whole seconds since 1970 that no file and no
    // entry of the print list uses yet.
    std::string uniquePrintName(long long seconds) const;

    // The strip pages launch puts the strips on: category 1 to 10, frame 0 to 2.
    int restoredCategoryNumber() const;
    int restoredFrameNumber() const;
    // The pages the strips stand on now, recorded in the configuration list and saved.
    void recordStripPages(int categoryNumber, int frameNumber);

    // The gallery's removals: the files go at once and the list is saved. Removing past the
    // end of the list removes nothing and says so.
    bool removePrint(std::size_t index);
    void removeAllPrints();

private:
    List configXML_;
    List printsXML_;
    ListFiles listFiles_;
};
