#pragma once

// What must hold for any bytes read as a property list. Shared by the fuzzer and by the test
// that replays every input the fuzzer ever caught.

#include "platform/foundation/PropertyList.h"

#include <cstdint>
#include <string>

namespace hardening {

namespace detail {

// Every getter on every value: the integer conversions must stay defined for any stored value.
inline std::string touchEveryValue(const platform::PropertyList& value, int depth) {
    if (depth > platform::PropertyList::kMaxDepth + 1) {
        return "a list deeper than the limit was accepted";
    }
    (void)value.integerValue();
    (void)value.realValue();
    (void)value.boolValue();
    (void)value.dateValue();
    (void)value[value.size()];
    for (const auto& item : value.array()) {
        if (auto problem = touchEveryValue(item, depth + 1); !problem.empty()) {
            return problem;
        }
    }
    for (const auto& [key, item] : value.dictionary()) {
        if (value.find(key) != &item) {
            return "a dictionary entry cannot be found by its key";
        }
        if (auto problem = touchEveryValue(item, depth + 1); !problem.empty()) {
            return problem;
        }
    }
    return {};
}

} // namespace detail

// Empty when the bytes read as no list, or as a list the camera can write back and read again:
// every loaded list is written back at termination, so a list that survives reading but not
// writing would be lost at the next launch.
inline std::string checkPropertyList(const std::uint8_t* data, std::size_t size) {
    const auto list = platform::PropertyList::fromBytes(data, size);
    if (!list) {
        return {};
    }
    if (auto problem = detail::touchEveryValue(*list, 0); !problem.empty()) {
        return problem;
    }
    // Written once, a list reaches its settled form (dates to the second); from then on writing
    // and reading must neither lose it nor change it. Compared as text, so that a stored NaN
    // (unequal to itself) still counts as unchanged.
    const std::string first = list->toXml();
    if (first.empty()) {
        return "a list that was read could not be written";
    }
    const auto reread = platform::PropertyList::fromXml(first);
    if (!reread) {
        return "a written list could not be read back";
    }
    const std::string second = reread->toXml();
    const auto again = platform::PropertyList::fromXml(second);
    if (!again || again->toXml() != second) {
        return "writing and reading changed the list";
    }
    return {};
}

} // namespace hardening
