#pragma once

#include "platform/ui/View.h"

#include <filesystem>
#include <memory>
#include <string>

namespace platform {

class PropertyList;
class ViewController;

// Builds a view tree from an interface file: a property list whose root dictionary is the
// root view. Every view dictionary has
//   class     View, ImageView, Button, ScrollView, Label or ActivityIndicatorView (required)
//   frame     [x, y, width, height] in points, in the parent's coordinates
// and may have
//   children  [view dictionaries, back to front]
//   outlet    a name handed with the view to the controller's connectOutlet()
//   backgroundColor [red, green, blue(, alpha)] from 0 to 1
//   alpha, hidden, userInteractionEnabled, clipsToBounds, tag, autoresizingMask
//   image     a PNG resource name: the picture of an ImageView, a Button's background
//   action    Button: a name the controller's actionNamed() turns into the tap action
//   contentSize [width, height], pagingEnabled, scrollEnabled, bounces, scrollsToTop,
//             showsHorizontalScrollIndicator, showsVerticalScrollIndicator   (ScrollView)
//   text, fontName, fontSize, textColor, textAlignment (left, center, right)   (Label)
//   style     0, 1 or 2 (ActivityIndicatorView)
// Unknown classes or keys and values of the wrong kind are errors, so a typo never passes
// unnoticed. A missing picture leaves its view empty, as a missing resource does anywhere.
class InterfaceLoader {
public:
    // The resource "<name>.ui.plist". Null with a message in `error` when it cannot be read.
    static std::shared_ptr<View> loadNamed(const std::string& name, ViewController& owner,
                                           std::string& error);
    static std::shared_ptr<View> loadFile(const std::filesystem::path& path, ViewController& owner,
                                          std::string& error);
    static std::shared_ptr<View> load(const PropertyList& root, ViewController& owner,
                                      std::string& error);
};

} // namespace platform
