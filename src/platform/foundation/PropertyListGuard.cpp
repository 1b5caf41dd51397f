#include "platform/foundation/PropertyListGuard.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

namespace platform {

namespace {

bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':';
}

bool startsWith(std::string_view text, std::size_t at, std::string_view prefix) {
    return text.compare(at, prefix.size(), prefix) == 0;
}

// Position just past `terminator` at or after `from`, or the end of the text.
std::size_t skipPast(std::string_view text, std::size_t from, std::string_view terminator) {
    const auto found = text.find(terminator, from);
    return found == std::string_view::npos ? text.size() : found + terminator.size();
}

// Length of the container element name ("array" or "dict") at `at`, 0 if there is none. The
// name must end where a tag name ends, so "<arrays>" does not count.
std::size_t containerNameAt(std::string_view text, std::size_t at) {
    for (std::string_view name : {std::string_view("array"), std::string_view("dict")}) {
        if (startsWith(text, at, name) &&
            (at + name.size() == text.size() || !isNameChar(text[at + name.size()]))) {
            return name.size();
        }
    }
    return 0;
}

// True when the tag starting after its name at `at` is exactly "  />": an empty element.
// Anything fancier counts as an opening tag; counting too deep only refuses odd files.
bool isSelfClosing(std::string_view text, std::size_t at) {
    while (at < text.size() &&
           (text[at] == ' ' || text[at] == '\t' || text[at] == '\n' || text[at] == '\r')) {
        ++at;
    }
    return startsWith(text, at, "/>");
}

} // namespace

namespace {

// True for "&#0;", "&#x00;" and the like at `at` (just past the "&#").
bool isNulReference(std::string_view text, std::size_t at) {
    int base = 10;
    if (at < text.size() && (text[at] == 'x' || text[at] == 'X')) {
        base = 16;
        ++at;
    }
    bool digits = false;
    for (; at < text.size() && text[at] != ';'; ++at) {
        const char c = text[at];
        const bool digit = (c >= '0' && c <= '9') ||
                           (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
        if (!digit || c != '0') {
            return false;
        }
        digits = true;
    }
    return digits;
}

} // namespace

bool PropertyListGuard::acceptsXml(std::string_view xml, int maxDepth) {
    if (xml.find('\0') != std::string_view::npos) {
        return false;
    }
    for (auto at = xml.find("&#"); at != std::string_view::npos; at = xml.find("&#", at + 2)) {
        if (isNulReference(xml, at + 2)) {
            return false;
        }
    }
    int depth = 0;
    std::size_t i = 0;
    while (i < xml.size()) {
        const auto open = xml.find('<', i);
        if (open == std::string_view::npos) {
            break;
        }
        i = open + 1;
        if (startsWith(xml, i, "!--")) {
            i = skipPast(xml, i + 3, "-->");
        } else if (startsWith(xml, i, "![CDATA[")) {
            i = skipPast(xml, i + 8, "]]>");
        } else if (startsWith(xml, i, "?")) {
            i = skipPast(xml, i + 1, "?>");
        } else if (startsWith(xml, i, "!")) {
            i = skipPast(xml, i + 1, ">");
        } else if (startsWith(xml, i, "/")) {
            if (containerNameAt(xml, i + 1) != 0 && depth > 0) {
                --depth;
            }
        } else if (const auto length = containerNameAt(xml, i); length != 0) {
            if (!isSelfClosing(xml, i + length) && ++depth > maxDepth) {
                return false;
            }
        }
    }
    return true;
}

namespace {

// The binary form: "bplist00", objects, an offset table, and a 32-byte trailer.
class BinaryReader {
public:
    BinaryReader(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    bool readTrailer() {
        if (size_ < 8 + 1 + 32) {
            return false;
        }
        const std::size_t trailer = size_ - 32;
        offsetSize_ = bytes_[trailer + 6];
        refSize_ = bytes_[trailer + 7];
        objectCount_ = bigEndian(trailer + 8, 8);
        topObject_ = bigEndian(trailer + 16, 8);
        tableOffset_ = bigEndian(trailer + 24, 8);
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) {
            return false;
        }
        if (objectCount_ == 0 || topObject_ >= objectCount_ || tableOffset_ < 8 ||
            tableOffset_ >= trailer) {
            return false;
        }
        return objectCount_ <= (trailer - tableOffset_) / offsetSize_;
    }

    std::uint64_t objectCount() const { return objectCount_; }
    std::uint64_t topObject() const { return topObject_; }

    // Where an object's references start and how many there are; 0 references for a scalar.
    // False when the object or its references lie outside the object area, or when it is text
    // holding a NUL character, which libplist's string getters abort on.
    bool references(std::uint64_t object, bool& container, std::size_t& first,
                    std::uint64_t& count) const {
        const std::uint64_t offset = bigEndian(tableOffset_ + object * offsetSize_, offsetSize_);
        if (offset < 8 || offset >= tableOffset_) {
            return false;
        }
        const std::uint8_t marker = bytes_[offset];
        const int type = marker >> 4;
        const bool text = type == 0x5 || type == 0x6 || type == 0x7;
        count = 0;
        first = offset + 1;
        container = type == 0xA || type == 0xC || type == 0xD;
        if (!container && !text) {
            return true;
        }
        count = marker & 0x0F;
        if (count == 0x0F) {
            // The count follows as an integer object: marker 0x1n, then 2^n bytes.
            if (first >= tableOffset_ || (bytes_[first] >> 4) != 0x1) {
                return false;
            }
            const std::size_t width = std::size_t{1} << (bytes_[first] & 0x0F);
            if (width > 8 || first + 1 + width > tableOffset_) {
                return false;
            }
            count = bigEndian(first + 1, width);
            first += 1 + width;
        }
        if (text) {
            const std::size_t unit = type == 0x6 ? 2 : 1; // UTF-16 or single bytes
            if (count > (tableOffset_ - first) / unit) {
                return false;
            }
            for (std::uint64_t i = 0; i < count; ++i) {
                if (bigEndian(first + i * unit, unit) == 0) {
                    return false;
                }
            }
            count = 0;
            return true;
        }
        if (type == 0xD) {
            if (count > std::numeric_limits<std::uint64_t>::max() / 2) {
                return false;
            }
            count *= 2; // keys, then values
        }
        return count <= (tableOffset_ - first) / refSize_;
    }

    std::uint64_t reference(std::size_t first, std::uint64_t index) const {
        return bigEndian(first + index * refSize_, refSize_);
    }

private:
    std::uint64_t bigEndian(std::size_t at, std::size_t width) const {
        std::uint64_t value = 0;
        for (std::size_t k = 0; k < width; ++k) {
            value = (value << 8) | bytes_[at + k];
        }
        return value;
    }

    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t offsetSize_ = 0;
    std::size_t refSize_ = 0;
    std::uint64_t objectCount_ = 0;
    std::uint64_t topObject_ = 0;
    std::uint64_t tableOffset_ = 0;
};

} // namespace

bool PropertyListGuard::acceptsBinary(const std::uint8_t* bytes, std::size_t size, int maxDepth) {
    BinaryReader reader(bytes, size);
    if (!reader.readTrailer()) {
        return false;
    }
    // An iterative walk that remembers each finished object's height and value count, so
    // shared sub-trees are measured once and a file cannot make the walk exponential.
    constexpr std::int16_t kUnknown = -1;
    constexpr std::int16_t kOnPath = -2;
    // libplist copies a shared object at every reference, so a few hundred bytes of arrays
    // that each refer twice to the next would read as billions of values. Every value a
    // well-formed file holds costs at least one byte of it (an object or a reference), so more
    // values than bytes can only come from such sharing.
    const auto maxValues = static_cast<std::uint32_t>(std::min<std::size_t>(size, UINT32_MAX - 1));
    struct Frame {
        std::uint64_t object;
        std::size_t first;
        std::uint64_t count;
        std::uint64_t next;
        std::int16_t height; // tallest child so far
        bool container;
        std::uint64_t values; // this object and its children's values so far
    };
    try {
        std::vector<std::int16_t> height(reader.objectCount(), kUnknown);
        std::vector<std::uint32_t> values(reader.objectCount(), 0);
        std::vector<Frame> path;
        auto enter = [&](std::uint64_t object) {
            Frame frame{object, 0, 0, 0, 0, false, 1};
            if (!reader.references(object, frame.container, frame.first, frame.count)) {
                return false;
            }
            height[object] = kOnPath;
            path.push_back(frame);
            return path.size() <= static_cast<std::size_t>(maxDepth) + 1;
        };
        if (!enter(reader.topObject())) {
            return false;
        }
        while (!path.empty()) {
            Frame& frame = path.back();
            if (frame.next == frame.count) {
                const auto finished = static_cast<std::int16_t>(frame.height + frame.container);
                height[frame.object] = finished;
                values[frame.object] = static_cast<std::uint32_t>(frame.values);
                const std::uint64_t finishedValues = frame.values;
                path.pop_back();
                if (!path.empty()) {
                    if (finished > path.back().height) {
                        path.back().height = finished;
                    }
                    path.back().values += finishedValues;
                    if (path.back().values > maxValues) {
                        return false;
                    }
                }
                continue;
            }
            const std::uint64_t child = reader.reference(frame.first, frame.next++);
            if (child >= reader.objectCount() || height[child] == kOnPath) {
                return false; // a dangling reference or a cycle
            }
            if (height[child] >= 0) {
                if (height[child] > frame.height) {
                    frame.height = height[child];
                }
                frame.values += values[child];
                if (frame.values > maxValues) {
                    return false;
                }
            } else if (!enter(child)) {
                return false;
            }
        }
        return height[reader.topObject()] <= maxDepth && values[reader.topObject()] <= maxValues;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace platform
