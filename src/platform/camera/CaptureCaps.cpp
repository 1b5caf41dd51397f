#include "platform/camera/CaptureCaps.h"

#include <gst/gst.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <utility>

namespace platform {

namespace {

// Sizes cameras commonly offer, tried inside a range of sizes.
constexpr CaptureSize kUsualSizes[] = {
    {2048, 1536}, {1920, 1440}, {1600, 1200}, {1440, 1080}, {1280, 960},  {1024, 768},
    {960, 720},   {800, 600},   {640, 480},   {320, 240},   {1920, 1080}, {1280, 720},
};

// What one field allows: the plain values in it and the ranges.
struct Allowed {
    std::vector<int> values;
    std::vector<std::pair<int, int>> ranges; // inclusive, with steps folded in by accepts()
    std::vector<int> steps;

    bool accepts(int n) const {
        if (std::find(values.begin(), values.end(), n) != values.end())
            return true;
        for (std::size_t i = 0; i < ranges.size(); ++i)
            if (n >= ranges[i].first && n <= ranges[i].second &&
                (steps[i] <= 1 || (n - ranges[i].first) % steps[i] == 0))
                return true;
        return false;
    }
};

void collect(const GValue* value, Allowed& allowed) {
    if (G_VALUE_HOLDS_INT(value)) {
        allowed.values.push_back(g_value_get_int(value));
    } else if (GST_VALUE_HOLDS_INT_RANGE(value)) {
        allowed.ranges.emplace_back(gst_value_get_int_range_min(value),
                                    gst_value_get_int_range_max(value));
        allowed.steps.push_back(gst_value_get_int_range_step(value));
    } else if (GST_VALUE_HOLDS_LIST(value)) {
        for (guint i = 0; i < gst_value_list_get_size(value); ++i)
            collect(gst_value_list_get_value(value, i), allowed);
    }
}

double fraction(const GValue* value) {
    const int d = gst_value_get_fraction_denominator(value);
    return d > 0 ? static_cast<double>(gst_value_get_fraction_numerator(value)) / d : 0;
}

// The highest frame rate a field allows; 0 when it says nothing.
double highestRate(const GValue* value) {
    if (!value)
        return 0;
    if (GST_VALUE_HOLDS_FRACTION(value))
        return fraction(value);
    if (GST_VALUE_HOLDS_FRACTION_RANGE(value))
        return fraction(gst_value_get_fraction_range_max(value));
    double best = 0;
    if (GST_VALUE_HOLDS_LIST(value))
        for (guint i = 0; i < gst_value_list_get_size(value); ++i)
            best = std::max(best, highestRate(gst_value_list_get_value(value, i)));
    return best;
}

bool inSystemMemory(const GstCaps* caps, guint index) {
    GstCapsFeatures* features = gst_caps_get_features(caps, index);
    return !features || gst_caps_features_is_any(features) ||
           gst_caps_features_is_equal(features, GST_CAPS_FEATURES_MEMORY_SYSTEM_MEMORY);
}

} // namespace

std::vector<CaptureOffer> CaptureCaps::offers(const GstCaps* caps, CaptureSize limit) {
    std::vector<CaptureOffer> found;
    if (!caps || gst_caps_is_any(caps))
        return found;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        const GstStructure* structure = gst_caps_get_structure(caps, i);
        const bool raw = gst_structure_has_name(structure, "video/x-raw");
        const bool jpeg = gst_structure_has_name(structure, "image/jpeg");
        if ((!raw && !jpeg) || !inSystemMemory(caps, i))
            continue;
        const GValue* widthField = gst_structure_get_value(structure, "width");
        const GValue* heightField = gst_structure_get_value(structure, "height");
        if (!widthField || !heightField)
            continue;
        Allowed widths, heights;
        collect(widthField, widths);
        collect(heightField, heights);
        const double rate = highestRate(gst_structure_get_value(structure, "framerate"));

        std::set<std::pair<int, int>> sizes;
        for (int w : widths.values)
            for (int h : heights.values)
                sizes.emplace(w, h);
        if (!widths.ranges.empty() || !heights.ranges.empty()) {
            std::vector<CaptureSize> candidates(std::begin(kUsualSizes), std::end(kUsualSizes));
            candidates.push_back(limit);
            for (CaptureSize size : candidates)
                if (widths.accepts(size.width) && heights.accepts(size.height))
                    sizes.emplace(size.width, size.height);
        }
        for (const auto& [w, h] : sizes)
            found.push_back({{w, h}, rate, jpeg});
    }
    return found;
}

std::string CaptureCaps::filterFor(const CaptureOffer& offer) {
    std::ostringstream text;
    text << (offer.compressed ? "image/jpeg" : "video/x-raw") << ",width=" << offer.size.width
         << ",height=" << offer.size.height;
    if (offer.framesPerSecond >= kSmoothFramesPerSecond)
        text << ",framerate=[" << static_cast<int>(kSmoothFramesPerSecond) << "/1," << G_MAXINT
             << "/1]";
    return text.str();
}

} // namespace platform
