#include "platform/ui/InterfaceLoader.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/PropertyList.h"
#include "platform/graphics/Image.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <utility>
#include <vector>

namespace platform {

namespace {

// Reads one view dictionary after another; the first error stops the load.
class Reader {
public:
    Reader(ViewController& owner) : owner_(owner), bundle_(Bundle::main()) {}

    std::shared_ptr<View> view(const PropertyList& node, const std::string& where);
    std::vector<std::pair<std::string, std::shared_ptr<View>>> outlets;
    std::string error;

private:
    bool fail(const std::string& where, const std::string& message) {
        if (error.empty())
            error = (where.empty() ? "root" : where) + ": " + message;
        return false;
    }
    bool number(const PropertyList& value, const std::string& where, double& out);
    bool numbers(const PropertyList& value, const std::string& where, std::size_t minCount,
                 std::size_t maxCount, std::vector<double>& out);
    bool flag(const PropertyList& value, const std::string& where, bool& out);
    bool text(const PropertyList& value, const std::string& where, std::string& out);
    bool color(const PropertyList& value, const std::string& where, Color& out);
    ImageRef image(const std::string& name) const;
    bool apply(View& view, const std::string& cls, const std::string& key,
               const PropertyList& value, const std::string& where);

    ViewController& owner_;
    Bundle bundle_;
};

bool Reader::number(const PropertyList& value, const std::string& where, double& out) {
    if (!value.isInteger() && !value.isReal())
        return fail(where, "expected a number");
    out = value.realValue();
    if (!std::isfinite(out))
        return fail(where, "the number is not finite");
    return true;
}

bool Reader::numbers(const PropertyList& value, const std::string& where, std::size_t minCount,
                     std::size_t maxCount, std::vector<double>& out) {
    if (!value.isArray() || value.size() < minCount || value.size() > maxCount)
        return fail(where, minCount == maxCount
                               ? "expected an array of " + std::to_string(minCount) + " numbers"
                               : "expected an array of " + std::to_string(minCount) + " to " +
                                     std::to_string(maxCount) + " numbers");
    out.clear();
    for (std::size_t i = 0; i < value.size(); ++i) {
        double n;
        if (!number(value[i], where, n))
            return false;
        out.push_back(n);
    }
    return true;
}

bool Reader::flag(const PropertyList& value, const std::string& where, bool& out) {
    if (value.isBoolean())
        out = value.boolValue();
    else if (value.isInteger())
        out = value.integerValue().value_or(0) != 0;
    else
        return fail(where, "expected a boolean");
    return true;
}

bool Reader::text(const PropertyList& value, const std::string& where, std::string& out) {
    if (!value.isString())
        return fail(where, "expected a string");
    out = value.stringValue();
    return true;
}

bool Reader::color(const PropertyList& value, const std::string& where, Color& out) {
    std::vector<double> c;
    if (!numbers(value, where, 3, 4, c))
        return false;
    for (double v : c)
        if (v < 0 || v > 1)
            return fail(where, "colour components go from 0 to 1");
    out = {c[0], c[1], c[2], c.size() == 4 ? c[3] : 1.0};
    return true;
}

ImageRef Reader::image(const std::string& name) const {
    std::string base = name;
    if (base.size() > 4 && base.compare(base.size() - 4, 4, ".png") == 0)
        base.resize(base.size() - 4);
    auto path = bundle_.pathForResource(base, "png");
    return path ? Image::contentsOfFile(*path) : nullptr;
}

bool Reader::apply(View& view, const std::string& cls, const std::string& key,
                   const PropertyList& value, const std::string& where) {
    const std::string at = where + "." + key;
    double n = 0;
    bool b = false;
    std::string s;
    std::vector<double> v;
    Color c;
    if (key == "class" || key == "children" || key == "outlet")
        return true; // read by the caller
    if (key == "frame")
        return numbers(value, at, 4, 4, v) && (view.setFrame({v[0], v[1], v[2], v[3]}), true);
    if (key == "backgroundColor")
        return color(value, at, c) && (view.setBackgroundColor(c), true);
    if (key == "alpha")
        return number(value, at, n) && (view.setAlpha(n), true);
    if (key == "hidden")
        return flag(value, at, b) && (view.setHidden(b), true);
    if (key == "userInteractionEnabled")
        return flag(value, at, b) && (view.setUserInteractionEnabled(b), true);
    if (key == "clipsToBounds")
        return flag(value, at, b) && (view.setClipsToBounds(b), true);
    if (key == "tag")
        return number(value, at, n) && (view.setTag(static_cast<int>(n)), true);
    if (key == "autoresizingMask") {
        if (!number(value, at, n))
            return false;
        if (n < 0 || n > 63)
            return fail(at, "the mask goes from 0 to 63");
        view.setAutoresizingMask(static_cast<unsigned>(n));
        return true;
    }
    if (cls == "ImageView" && key == "image")
        return text(value, at, s) && (static_cast<ImageView&>(view).setImage(image(s)), true);
    if (cls == "Button" && key == "image")
        return text(value, at, s) &&
               (static_cast<Button&>(view).setBackgroundImage(image(s)), true);
    if (cls == "Button" && key == "action") {
        if (!text(value, at, s))
            return false;
        if (auto action = owner_.actionNamed(s))
            static_cast<Button&>(view).addTarget(std::move(action));
        else
            std::fprintf(stderr, "interface file: %s: no action named %s\n", at.c_str(), s.c_str());
        return true;
    }
    if (cls == "ScrollView") {
        auto& scroll = static_cast<ScrollView&>(view);
        if (key == "contentSize")
            return numbers(value, at, 2, 2, v) && (scroll.setContentSize({v[0], v[1]}), true);
        if (key == "pagingEnabled")
            return flag(value, at, b) && (scroll.setPagingEnabled(b), true);
        if (key == "scrollEnabled")
            return flag(value, at, b) && (scroll.setScrollEnabled(b), true);
        if (key == "bounces")
            return flag(value, at, b) && (scroll.setBounces(b), true);
        if (key == "scrollsToTop")
            return flag(value, at, b) && (scroll.setScrollsToTop(b), true);
        if (key == "showsHorizontalScrollIndicator")
            return flag(value, at, b) && (scroll.setShowsHorizontalScrollIndicator(b), true);
        if (key == "showsVerticalScrollIndicator")
            return flag(value, at, b) && (scroll.setShowsVerticalScrollIndicator(b), true);
    }
    if (cls == "Label") {
        auto& label = static_cast<Label&>(view);
        if (key == "text")
            return text(value, at, s) && (label.setText(s), true);
        if (key == "fontName")
            return text(value, at, s) && (label.setFontName(s), true);
        if (key == "fontSize") {
            if (!number(value, at, n))
                return false;
            if (n <= 0 || n > 1000)
                return fail(at, "the font size must be above 0 and at most 1000 points");
            label.setFontSize(n);
            return true;
        }
        if (key == "textColor")
            return color(value, at, c) && (label.setTextColor(c), true);
        if (key == "textAlignment") {
            if (!text(value, at, s))
                return false;
            if (s == "left")
                label.setTextAlignment(TextAlignment::Left);
            else if (s == "center")
                label.setTextAlignment(TextAlignment::Center);
            else if (s == "right")
                label.setTextAlignment(TextAlignment::Right);
            else
                return fail(at, "expected left, center or right");
            return true;
        }
    }
    if (cls == "ActivityIndicatorView" && key == "style") {
        if (!number(value, at, n))
            return false;
        if (n != 0 && n != 1 && n != 2)
            return fail(at, "the style is 0, 1 or 2");
        static_cast<ActivityIndicatorView&>(view).setActivityIndicatorViewStyle(
            static_cast<int>(n));
        return true;
    }
    return fail(at, "unknown key for a " + cls);
}

std::shared_ptr<View> Reader::view(const PropertyList& node, const std::string& where) {
    if (!node.isDictionary())
        return fail(where, "expected a dictionary describing a view"), nullptr;
    const PropertyList* cls = node.find("class");
    if (!cls || !cls->isString())
        return fail(where, "missing class"), nullptr;
    const std::string& name = cls->stringValue();
    std::shared_ptr<View> view;
    if (name == "View")
        view = std::make_shared<View>();
    else if (name == "ImageView")
        view = std::make_shared<ImageView>();
    else if (name == "Button")
        view = std::make_shared<Button>();
    else if (name == "ScrollView")
        view = std::make_shared<ScrollView>();
    else if (name == "Label")
        view = std::make_shared<Label>();
    else if (name == "ActivityIndicatorView")
        view = std::make_shared<ActivityIndicatorView>();
    else
        return fail(where, "unknown class " + name), nullptr;

    // The frame first, so sizes are in place before anything depends on them.
    if (const PropertyList* frame = node.find("frame"))
        if (!apply(*view, name, "frame", *frame, where))
            return nullptr;
    for (const auto& [key, value] : node.dictionary())
        if (key != "frame" && !apply(*view, name, key, value, where))
            return nullptr;

    if (const PropertyList* outlet = node.find("outlet")) {
        std::string s;
        if (!text(*outlet, where + ".outlet", s))
            return nullptr;
        outlets.emplace_back(s, view);
    }
    if (const PropertyList* children = node.find("children")) {
        if (!children->isArray())
            return fail(where + ".children", "expected an array"), nullptr;
        for (std::size_t i = 0; i < children->size(); ++i) {
            auto child = this->view((*children)[i], where + ".children[" + std::to_string(i) + "]");
            if (!child)
                return nullptr;
            view->addSubview(child);
        }
    }
    return view;
}

} // namespace

std::shared_ptr<View> InterfaceLoader::load(const PropertyList& root, ViewController& owner,
                                            std::string& error) {
    Reader reader(owner);
    auto view = reader.view(root, "root");
    if (!view) {
        error = reader.error;
        return nullptr;
    }
    // Outlets are connected once the whole tree stands, as the platform does.
    for (auto& [name, outlet] : reader.outlets)
        owner.connectOutlet(name, outlet);
    return view;
}

std::shared_ptr<View> InterfaceLoader::loadFile(const std::filesystem::path& path,
                                                ViewController& owner, std::string& error) {
    auto list = PropertyList::readFile(path);
    if (!list) {
        error = "cannot read " + path.string() + " as a property list";
        return nullptr;
    }
    return load(*list, owner, error);
}

std::shared_ptr<View> InterfaceLoader::loadNamed(const std::string& name, ViewController& owner,
                                                 std::string& error) {
    auto path = Bundle::main().pathForResource(name, "ui.plist");
    if (!path) {
        error = "no resource " + name + ".ui.plist";
        return nullptr;
    }
    return loadFile(*path, owner, error);
}

} // namespace platform
