#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

// Cheap structural checks run before a property list reaches libplist, whose parsers recurse
// once per nesting level: a few kilobytes of "<array>" or a chain of binary array objects would
// otherwise overflow the stack. Both checks look at structure only; values are left to libplist.
class PropertyListGuard {
public:
    // False when arrays and dictionaries in the XML text nest deeper than maxDepth. Comments,
    // CDATA, declarations and processing instructions are skipped so that they can neither hide
    // nor invent tags.
    static bool acceptsXml(std::string_view xml, int maxDepth);

    // False when a binary property list is malformed (trailer, offset table or object headers
    // out of bounds, references to missing objects, a cycle) or when its containers nest deeper
    // than maxDepth along any path from the top object.
    static bool acceptsBinary(const std::uint8_t* bytes, std::size_t size, int maxDepth);
};

} // namespace platform
