#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

// Cheap checks run before a property list reaches libplist. Its parsers recurse once per
// nesting level, so a chain of binary array objects would otherwise overflow the stack, and its
// string getters abort the process on text with a NUL character inside. Beyond those two
// dangers, values are left to libplist to judge.
class PropertyListGuard {
public:
    // False when arrays and dictionaries in the XML text nest deeper than maxDepth, or when the
    // text holds a NUL, raw or as a character reference. Comments,
    // CDATA, declarations and processing instructions are skipped so that they can neither hide
    // nor invent tags.
    static bool acceptsXml(std::string_view xml, int maxDepth);

    // False when a binary property list is malformed (trailer, offset table or object headers
    // out of bounds, references to missing objects, a cycle), when its containers nest deeper
    // than maxDepth along any path from the top object, when shared objects would expand into
    // more values than the file has bytes, or when a string holds a NUL.
    static bool acceptsBinary(const std::uint8_t* bytes, std::size_t size, int maxDepth);
};

} // namespace platform
