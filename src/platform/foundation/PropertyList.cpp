#include "platform/foundation/PropertyList.h"

#include "platform/foundation/FileManager.h"
#include "platform/foundation/PropertyListGuard.h"

#include <plist/plist.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace platform {

namespace {

// libplist counts date seconds from 2001-01-01 00:00:00 UTC in a signed 32-bit number.
constexpr long long kSeconds1970To2001 = 978'307'200;

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

struct MallocDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
template <typename T>
using Malloced = std::unique_ptr<T, MallocDeleter>;

bool fromNode(plist_t node, int depth, PropertyList& out);

bool arrayFromNode(plist_t node, int depth, PropertyList& out) {
    PropertyList::Array items;
    items.reserve(plist_array_get_size(node));
    // Walked with an iterator: libplist finds an array item of a binary list by counting from
    // the first, so fetching each by index would make a long array quadratic.
    plist_array_iter iterator = nullptr;
    plist_array_new_iter(node, &iterator);
    const Malloced<void> ownedIterator(iterator);
    for (;;) {
        plist_t element = nullptr;
        plist_array_next_item(node, iterator, &element);
        if (element == nullptr) {
            break;
        }
        PropertyList item;
        if (!fromNode(element, depth + 1, item)) {
            return false;
        }
        items.push_back(std::move(item));
    }
    out = PropertyList::array(std::move(items));
    return true;
}

bool dictionaryFromNode(plist_t node, int depth, PropertyList& out) {
    PropertyList::Dictionary entries;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    const Malloced<void> ownedIterator(iterator);
    for (;;) {
        char* rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &rawKey, &value);
        const Malloced<char> key(rawKey);
        if (value == nullptr) {
            break;
        }
        PropertyList entry;
        if (key == nullptr || !fromNode(value, depth + 1, entry)) {
            return false;
        }
        entries.insert_or_assign(key.get(), std::move(entry));
    }
    out = PropertyList::dictionary(std::move(entries));
    return true;
}

// The depth check repeats the guard's: a list built in memory never passed through it.
bool fromNode(plist_t node, int depth, PropertyList& out) {
    if (node == nullptr || depth > PropertyList::kMaxDepth) {
        return false;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
        return arrayFromNode(node, depth, out);
    case PLIST_DICT:
        return dictionaryFromNode(node, depth, out);
    case PLIST_STRING:
    case PLIST_KEY: {
        char* raw = nullptr;
        plist_get_string_val(node, &raw);
        const Malloced<char> text(raw);
        out = PropertyList::string(text ? text.get() : "");
        return true;
    }
    case PLIST_UINT:
    case PLIST_UID: {
        uint64_t value = 0;
        if (plist_get_node_type(node) == PLIST_UID) {
            plist_get_uid_val(node, &value);
        } else {
            plist_get_uint_val(node, &value);
        }
        // libplist keeps negative integers as their two's complement.
        out = PropertyList::integer(static_cast<long long>(value));
        return true;
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        out = PropertyList::real(value);
        return true;
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        out = PropertyList::boolean(value != 0);
        return true;
    }
    case PLIST_DATE: {
        int32_t seconds = 0;
        int32_t micros = 0;
        plist_get_date_val(node, &seconds, &micros);
        const auto since1970 =
            std::chrono::seconds(seconds + kSeconds1970To2001) + std::chrono::microseconds(micros);
        out = PropertyList::date(PropertyList::TimePoint(
            std::chrono::duration_cast<PropertyList::TimePoint::duration>(since1970)));
        return true;
    }
    case PLIST_DATA: {
        char* raw = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &raw, &length);
        const Malloced<char> bytes(raw);
        const auto* begin = reinterpret_cast<const std::uint8_t*>(bytes.get());
        out = PropertyList::data(bytes ? PropertyList::Bytes(begin, begin + length)
                                       : PropertyList::Bytes());
        return true;
    }
    default:
        return false;
    }
}

plist_t toNode(const PropertyList& value) {
    using Kind = PropertyList::Kind;
    switch (value.kind()) {
    case Kind::Array: {
        plist_t node = plist_new_array();
        for (const auto& item : value.array()) {
            plist_array_append_item(node, toNode(item));
        }
        return node;
    }
    case Kind::Dictionary: {
        plist_t node = plist_new_dict();
        for (const auto& [key, item] : value.dictionary()) {
            plist_dict_set_item(node, key.c_str(), toNode(item));
        }
        return node;
    }
    case Kind::String:
        return plist_new_string(value.stringValue().c_str());
    case Kind::Integer:
        return plist_new_uint(static_cast<uint64_t>(*value.integerValue()));
    case Kind::Real:
        return plist_new_real(value.realValue());
    case Kind::Boolean:
        return plist_new_bool(value.boolValue() ? 1 : 0);
    case Kind::Date: {
        const auto micros =
            std::chrono::floor<std::chrono::microseconds>(value.dateValue().time_since_epoch())
                .count() -
            kSeconds1970To2001 * 1'000'000;
        long long seconds = micros / 1'000'000;
        long long fraction = micros % 1'000'000;
        if (fraction < 0) {
            fraction += 1'000'000;
            --seconds;
        }
        // Beyond what the file format holds (before 1933 or after 2069): the nearest date it does.
        if (seconds < INT32_MIN || seconds > INT32_MAX) {
            seconds = seconds < 0 ? INT32_MIN : INT32_MAX;
            fraction = 0;
        }
        return plist_new_date(static_cast<int32_t>(seconds), static_cast<int32_t>(fraction));
    }
    case Kind::Data: {
        const auto& bytes = value.dataValue();
        return plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    }
    return plist_new_string("");
}

const std::string& emptyString() {
    static const std::string empty;
    return empty;
}

} // namespace

PropertyList PropertyList::array(Array items) {
    return PropertyList(std::in_place_type<Array>, std::move(items));
}
PropertyList PropertyList::dictionary(Dictionary entries) {
    return PropertyList(std::in_place_type<Dictionary>, std::move(entries));
}
PropertyList PropertyList::string(std::string text) {
    return PropertyList(std::in_place_type<std::string>, std::move(text));
}
PropertyList PropertyList::integer(long long value) {
    return PropertyList(std::in_place_type<long long>, value);
}
PropertyList PropertyList::real(double value) {
    return PropertyList(std::in_place_type<double>, value);
}
PropertyList PropertyList::boolean(bool value) {
    return PropertyList(std::in_place_type<bool>, value);
}
PropertyList PropertyList::date(TimePoint when) {
    return PropertyList(std::in_place_type<TimePoint>,
                        TimePoint(std::chrono::floor<std::chrono::microseconds>(when)));
}
PropertyList PropertyList::data(Bytes bytes) {
    return PropertyList(std::in_place_type<Bytes>, std::move(bytes));
}

const PropertyList::Array& PropertyList::array() const {
    static const Array empty;
    const auto* items = std::get_if<Array>(&value_);
    return items ? *items : empty;
}

PropertyList::Array& PropertyList::array() {
    if (!isArray()) {
        value_ = Array();
    }
    return std::get<Array>(value_);
}

const PropertyList::Dictionary& PropertyList::dictionary() const {
    static const Dictionary empty;
    const auto* entries = std::get_if<Dictionary>(&value_);
    return entries ? *entries : empty;
}

PropertyList::Dictionary& PropertyList::dictionary() {
    if (!isDictionary()) {
        value_ = Dictionary();
    }
    return std::get<Dictionary>(value_);
}

const std::string& PropertyList::stringValue() const {
    const auto* text = std::get_if<std::string>(&value_);
    return text ? *text : emptyString();
}

PropertyList::TimePoint PropertyList::dateValue() const {
    const auto* when = std::get_if<TimePoint>(&value_);
    return when ? *when : TimePoint();
}

bool PropertyList::boolValue() const {
    const auto* flag = std::get_if<bool>(&value_);
    return flag && *flag;
}

double PropertyList::realValue() const {
    if (const auto* real = std::get_if<double>(&value_)) {
        return *real;
    }
    if (const auto* integer = std::get_if<long long>(&value_)) {
        return static_cast<double>(*integer);
    }
    return 0;
}

const PropertyList::Bytes& PropertyList::dataValue() const {
    static const Bytes empty;
    const auto* bytes = std::get_if<Bytes>(&value_);
    return bytes ? *bytes : empty;
}

std::optional<long long> PropertyList::integerValue() const {
    switch (kind()) {
    case Kind::Integer:
        return std::get<long long>(value_);
    case Kind::Boolean:
        return std::get<bool>(value_) ? 1 : 0;
    case Kind::Real: {
        const double real = std::get<double>(value_);
        if (real != real) {
            return std::nullopt;
        }
        // Clamped: converting an out-of-range double is undefined.
        if (real >= 9.2233720368547758e18) {
            return LLONG_MAX;
        }
        if (real <= -9.2233720368547758e18) {
            return LLONG_MIN;
        }
        return static_cast<long long>(real);
    }
    case Kind::String: {
        const std::string& text = std::get<std::string>(value_);
        std::size_t i = 0;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' ||
                                   text[i] == '\r' || text[i] == '\f' || text[i] == '\v')) {
            ++i;
        }
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negative = text[i] == '-';
            ++i;
        }
        if (i == text.size() || text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        // Accumulated as a negative number so that LLONG_MIN itself fits; overflow clamps.
        long long value = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            const int digit = text[i] - '0';
            if (value < (LLONG_MIN + digit) / 10) {
                value = LLONG_MIN;
                while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
                    ++i;
                }
                break;
            }
            value = value * 10 - digit;
        }
        if (negative) {
            return value;
        }
        return value == LLONG_MIN ? LLONG_MAX : -value;
    }
    default:
        return std::nullopt;
    }
}

std::size_t PropertyList::size() const {
    if (const auto* items = std::get_if<Array>(&value_)) {
        return items->size();
    }
    if (const auto* entries = std::get_if<Dictionary>(&value_)) {
        return entries->size();
    }
    return 0;
}

const PropertyList& PropertyList::operator[](std::size_t index) const {
    static const PropertyList none;
    const auto* items = std::get_if<Array>(&value_);
    return items && index < items->size() ? (*items)[index] : none;
}

PropertyList& PropertyList::operator[](std::size_t index) {
    Array& items = array();
    if (index >= items.size()) {
        items.resize(index + 1);
    }
    return items[index];
}

const PropertyList* PropertyList::find(const std::string& key) const {
    const auto* entries = std::get_if<Dictionary>(&value_);
    if (!entries) {
        return nullptr;
    }
    const auto found = entries->find(key);
    return found == entries->end() ? nullptr : &found->second;
}

PropertyList* PropertyList::find(const std::string& key) {
    return const_cast<PropertyList*>(std::as_const(*this).find(key));
}

std::optional<PropertyList> PropertyList::readFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error || size > kMaxFileBytes) {
        return std::nullopt;
    }
    const auto bytes = FileManager::contents(path);
    if (!bytes) {
        return std::nullopt;
    }
    return fromBytes(bytes->data(), bytes->size());
}

std::optional<PropertyList> PropertyList::fromXml(std::string_view xml) {
    if (xml.starts_with("bplist")) {
        return std::nullopt;
    }
    return fromBytes(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size());
}

std::optional<PropertyList> PropertyList::fromBytes(const std::uint8_t* bytes, std::size_t size) {
    if (bytes == nullptr || size == 0 || size > kMaxFileBytes) {
        return std::nullopt;
    }
    const auto* text = reinterpret_cast<const char*>(bytes);
    const auto length = static_cast<uint32_t>(size);
    plist_t raw = nullptr;
    if (size >= 8 && std::memcmp(bytes, "bplist00", 8) == 0) {
        if (!PropertyListGuard::acceptsBinary(bytes, size, kMaxDepth)) {
            return std::nullopt;
        }
        plist_from_bin(text, length, &raw);
    } else {
        if (!PropertyListGuard::acceptsXml(std::string_view(text, size), kMaxDepth)) {
            return std::nullopt;
        }
        plist_from_xml(text, length, &raw);
    }
    const PlistPtr root(raw);
    PropertyList result;
    if (!root || !fromNode(root.get(), 0, result)) {
        return std::nullopt;
    }
    return result;
}

std::string PropertyList::toXml() const {
    const PlistPtr root(toNode(*this));
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (xml == nullptr) {
        return {};
    }
    std::string text(xml, length);
    plist_to_xml_free(xml);
    return text;
}

bool PropertyList::writeFile(const std::filesystem::path& path) const {
    const std::string xml = toXml();
    return !xml.empty() && FileManager::writeAtomically(path, xml.data(), xml.size());
}

} // namespace platform
