#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

// A property-list value: an array, a dictionary, or one of six scalars, copied by value.
// Reading and writing go through libplist in the standard XML form (version 1.0); reading
// also accepts the binary form. Hostile files are refused before libplist sees them, so a
// truncated, enormous or absurdly nested file reads as "no list" and never crashes.
class PropertyList {
public:
    enum class Kind { Array, Dictionary, String, Integer, Real, Boolean, Date, Data };

    using Array = std::vector<PropertyList>;
    using Dictionary = std::map<std::string, PropertyList>;
    using TimePoint = std::chrono::system_clock::time_point;
    using Bytes = std::vector<std::uint8_t>;

    // Files above this size are refused unread.
    static constexpr std::uintmax_t kMaxFileBytes = 64u * 1024 * 1024;
    // Arrays and dictionaries nested deeper than this are refused: every tree walk here and in
    // libplist recurses, and a stack is finite.
    static constexpr int kMaxDepth = 512;

    // An empty array.
    PropertyList() = default;

    static PropertyList array(Array items);
    static PropertyList dictionary(Dictionary entries);
    static PropertyList string(std::string text);
    static PropertyList integer(long long value);
    static PropertyList real(double value);
    static PropertyList boolean(bool value);
    // Kept to the microsecond in memory; the XML form stores whole seconds.
    static PropertyList date(TimePoint when);
    static PropertyList data(Bytes bytes);

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    bool isArray() const { return kind() == Kind::Array; }
    bool isDictionary() const { return kind() == Kind::Dictionary; }
    bool isString() const { return kind() == Kind::String; }
    bool isInteger() const { return kind() == Kind::Integer; }
    bool isReal() const { return kind() == Kind::Real; }
    bool isBoolean() const { return kind() == Kind::Boolean; }
    bool isDate() const { return kind() == Kind::Date; }
    bool isData() const { return kind() == Kind::Data; }

    // The containers. The const forms give an empty container for any other kind; the mutable
    // forms first turn a value of another kind into an empty container of the asked kind.
    const Array& array() const;
    Array& array();
    const Dictionary& dictionary() const;
    Dictionary& dictionary();

    // Plain getters: the value when the kind matches, else empty, zero, false or the epoch.
    const std::string& stringValue() const;
    TimePoint dateValue() const;
    bool boolValue() const;
    // A Real as it is, an Integer converted; 0 otherwise.
    double realValue() const;
    const Bytes& dataValue() const;

    // The integer a value stands for: an Integer, a Real truncated toward zero, a Boolean as 0
    // or 1, or a String that starts (after blanks) with a decimal integer, as "3", " 7" or
    // "-2px". Anything else, including text without digits, has none.
    std::optional<long long> integerValue() const;

    // Elements of an array or entries of a dictionary; 0 for a scalar.
    std::size_t size() const;
    // An array element. Out of range (or not an array) gives a shared empty value, so reading
    // a short list never crashes.
    const PropertyList& operator[](std::size_t index) const;
    // An array element to change; the array grows with empty values to reach the index.
    PropertyList& operator[](std::size_t index);
    // A dictionary entry, or nullptr when absent or not a dictionary.
    const PropertyList* find(const std::string& key) const;
    PropertyList* find(const std::string& key);

    friend bool operator==(const PropertyList&, const PropertyList&) = default;

    // The property list in a file, XML or binary; nullopt when the file is missing, too large,
    // too deep, truncated or not a property list.
    static std::optional<PropertyList> readFile(const std::filesystem::path& path);
    static std::optional<PropertyList> fromXml(std::string_view xml);
    // Either form, told apart by the binary header.
    static std::optional<PropertyList> fromBytes(const std::uint8_t* bytes, std::size_t size);

    // The standard XML form with its declaration and DOCTYPE; empty if libplist fails.
    std::string toXml() const;
    // Replaces the file atomically with the XML form: on failure the old file stays whole.
    bool writeFile(const std::filesystem::path& path) const;

private:
    using Value =
        std::variant<Array, Dictionary, std::string, long long, double, bool, TimePoint, Bytes>;
    template <typename T>
    PropertyList(std::in_place_type_t<T> kind, T value) : value_(kind, std::move(value)) {}

    Value value_;
};

} // namespace platform
