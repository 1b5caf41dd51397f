#pragma once

// Binary property lists written by hand, for shapes no honest writer makes: chains a million
// deep, objects shared a billion times over. References and offsets are always four bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace hardening {

class BinaryPropertyList {
public:
    // Adds an object and gives its number.
    std::uint32_t add(std::string encoded) {
        objects_.push_back(std::move(encoded));
        return static_cast<std::uint32_t>(objects_.size() - 1);
    }

    static std::string string(const std::string& ascii) {
        return header(0x5, ascii.size()) + ascii;
    }
    static std::string array(const std::vector<std::uint32_t>& references) {
        std::string out = header(0xA, references.size());
        for (std::uint32_t reference : references) {
            out += bigEndian(reference, 4);
        }
        return out;
    }

    // The file, with `top` as its top object.
    std::string bytes(std::uint32_t top = 0) const {
        std::string out = "bplist00";
        std::vector<std::uint64_t> offsets;
        for (const auto& object : objects_) {
            offsets.push_back(out.size());
            out += object;
        }
        const std::uint64_t table = out.size();
        for (std::uint64_t offset : offsets) {
            out += bigEndian(offset, 4);
        }
        out += std::string(6, '\0') + '\x04' + '\x04';
        out += bigEndian(objects_.size(), 8) + bigEndian(top, 8) + bigEndian(table, 8);
        return out;
    }

private:
    static std::string bigEndian(std::uint64_t value, int width) {
        std::string out;
        for (int shift = 8 * (width - 1); shift >= 0; shift -= 8) {
            out += static_cast<char>((value >> shift) & 0xff);
        }
        return out;
    }
    // A marker with its count: inside the marker up to 14, else as a following integer.
    static std::string header(int type, std::size_t count) {
        if (count < 15) {
            return std::string(1, static_cast<char>(type << 4 | static_cast<int>(count)));
        }
        return std::string(1, static_cast<char>(type << 4 | 0xf)) + '\x12' + bigEndian(count, 4);
    }

    std::vector<std::string> objects_;
};

} // namespace hardening
