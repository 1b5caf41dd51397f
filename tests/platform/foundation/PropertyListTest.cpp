#include "platform/foundation/PropertyList.h"
#include "platform/foundation/Date.h"

#include "TestSupport.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <csignal>
#include <cstdint>
#include <string>
#include <sys/resource.h>

namespace {

using platform::Date;
using platform::PropertyList;
using testing_support::readText;
using testing_support::TemporaryFolder;
using testing_support::writeText;

std::chrono::system_clock::time_point at(long long secondsSince1970) {
    return std::chrono::system_clock::time_point(std::chrono::seconds(secondsSince1970));
}

const char* kStandardFile = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<array>
	<string>1</string>
	<string>x &amp; y</string>
	<string>3</string>
	<integer>-42</integer>
	<array>
		<array>
			<string>1767614400.jpg</string>
			<date>2026-01-05T12:00:00Z</date>
		</array>
		<array/>
	</array>
	<dict>
		<key>name</key>
		<string>Morvane</string>
		<key>ratio</key>
		<real>0.75</real>
		<key>on</key>
		<true/>
		<key>bytes</key>
		<data>AAEC/w==</data>
	</dict>
	<false/>
	<!-- <array><array> in a comment counts for nothing -->
	<date>1999-12-31T23:59:59Z</date>
	<string>2</string>
</array>
</plist>
)";

TEST(PropertyList, ReadsTheStandardXmlForm) {
    TemporaryFolder folder;
    writeText(folder / "config.plist", kStandardFile);
    const auto list = PropertyList::readFile(folder / "config.plist");
    ASSERT_TRUE(list.has_value());
    ASSERT_TRUE(list->isArray());
    ASSERT_EQ(list->size(), 9u);

    EXPECT_EQ((*list)[1].stringValue(), "x & y");
    EXPECT_EQ((*list)[2].integerValue(), 3);
    EXPECT_EQ((*list)[3].integerValue(), -42);
    EXPECT_EQ((*list)[8].integerValue(), 2);

    const PropertyList& entry = (*list)[4][0];
    ASSERT_TRUE(entry.isArray());
    EXPECT_EQ(entry[0].stringValue(), "1767614400.jpg");
    ASSERT_TRUE(entry[1].isDate());
    EXPECT_EQ(Date::secondsSince1970(entry[1].dateValue()), 1767614400);
    EXPECT_TRUE((*list)[4][1].isArray());
    EXPECT_EQ((*list)[4][1].size(), 0u);

    const PropertyList& dict = (*list)[5];
    ASSERT_TRUE(dict.isDictionary());
    ASSERT_NE(dict.find("name"), nullptr);
    EXPECT_EQ(dict.find("name")->stringValue(), "Morvane");
    EXPECT_DOUBLE_EQ(dict.find("ratio")->realValue(), 0.75);
    EXPECT_TRUE(dict.find("on")->boolValue());
    EXPECT_EQ(dict.find("bytes")->dataValue(), (PropertyList::Bytes{0, 1, 2, 255}));
    EXPECT_EQ(dict.find("missing"), nullptr);

    EXPECT_TRUE((*list)[6].isBoolean());
    EXPECT_FALSE((*list)[6].boolValue());
    // Before the format's 2001 epoch, so its seconds are negative inside libplist.
    EXPECT_EQ(Date::secondsSince1970((*list)[7].dateValue()), 946684799);
}

TEST(PropertyList, RoundTripKeepsEveryValue) {
    TemporaryFolder folder;
    const auto original = PropertyList::array({
        PropertyList::string("1"),
        PropertyList::string("<tag> & \"quotes\" and ünïcødé"),
        PropertyList::integer(-7),
        PropertyList::integer(9'000'000'000LL),
        PropertyList::real(0.1),
        PropertyList::boolean(true),
        PropertyList::boolean(false),
        PropertyList::date(at(1767614400)),
        PropertyList::date(at(-1000)), // before 1970
        PropertyList::data({0, 10, 13, 255, 128}),
        PropertyList::array({PropertyList::array({PropertyList::string("deep")})}),
        PropertyList::dictionary({{"b", PropertyList::integer(2)},
                                  {"a", PropertyList::array({})},
                                  {"c", PropertyList::dictionary({})}}),
    });
    const auto path = folder / "prints.plist";
    ASSERT_TRUE(original.writeFile(path));
    const auto reread = PropertyList::readFile(path);
    ASSERT_TRUE(reread.has_value());
    EXPECT_EQ(*reread, original);

    const std::string text = readText(path);
    EXPECT_TRUE(text.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE plist"));
    EXPECT_NE(text.find("<plist version=\"1.0\">"), std::string::npos);

    // The file keeps whole seconds: a fraction is lost, the second is not.
    const auto fractional = at(1767614400) + std::chrono::milliseconds(999);
    ASSERT_TRUE(PropertyList::array({PropertyList::date(fractional)}).writeFile(path));
    const auto dated = PropertyList::readFile(path);
    ASSERT_TRUE(dated.has_value());
    EXPECT_EQ(Date::secondsSince1970((*dated)[0].dateValue()), 1767614400);
}

TEST(PropertyList, ReadsTheBinaryForm) {
    plist_t root = plist_new_array();
    plist_array_append_item(root, plist_new_string("bin"));
    plist_t inner = plist_new_dict();
    plist_dict_set_item(inner, "n", plist_new_uint(5));
    plist_array_append_item(root, inner);
    char* bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    plist_free(root);
    ASSERT_NE(bytes, nullptr);
    const auto list = PropertyList::fromBytes(reinterpret_cast<const std::uint8_t*>(bytes), length);
    plist_to_bin_free(bytes);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(*list,
              PropertyList::array({PropertyList::string("bin"),
                                   PropertyList::dictionary({{"n", PropertyList::integer(5)}})}));
}

std::string nestedXml(int depth) {
    std::string xml = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < depth; ++i) {
        xml += i % 2 ? "<dict><key>k</key>" : "<array>";
    }
    xml += "<integer>1</integer>";
    for (int i = depth - 1; i >= 0; --i) {
        xml += i % 2 ? "</dict>" : "</array>";
    }
    return xml + "</plist>";
}

// 600 levels, of which a naive tag count would see only 500.
std::string hiddenDepthXml() {
    auto repeat = [](const std::string& text, int times) {
        std::string out;
        for (int i = 0; i < times; ++i) {
            out += text;
        }
        return out;
    };
    return "<plist version=\"1.0\">" + repeat("<array>", 100) + "<!--" + repeat("</array>", 100) +
           "-->" + repeat("<array>", 500) + repeat("</array>", 600) + "</plist>";
}

// A binary list whose objects each hold the next: `count` arrays deep, or a loop when `cycle`.
std::string chainedBinary(std::uint32_t count, bool cycle) {
    std::string objects;
    std::vector<std::uint32_t> offsets;
    auto bigEndian = [](std::string& out, std::uint64_t value, int width) {
        for (int k = width - 1; k >= 0; --k) {
            out += static_cast<char>((value >> (8 * k)) & 0xFF);
        }
    };
    for (std::uint32_t i = 0; i < count; ++i) {
        offsets.push_back(static_cast<std::uint32_t>(8 + objects.size()));
        if (i + 1 < count || cycle) {
            objects += '\xA1';
            bigEndian(objects, (i + 1) % count, 4);
        } else {
            objects += '\xA0';
        }
    }
    std::string file = "bplist00" + objects;
    const std::uint64_t table = file.size();
    for (auto offset : offsets) {
        bigEndian(file, offset, 4);
    }
    file += std::string(6, '\0') + "\x04\x04";
    bigEndian(file, count, 8);
    bigEndian(file, 0, 8);
    bigEndian(file, table, 8);
    return file;
}

// A binary list that is one ASCII string of up to 14 characters.
std::string binaryString(const std::string& text) {
    std::string file = "bplist00" + std::string(1, static_cast<char>(0x50 + text.size())) + text;
    const char table = static_cast<char>(file.size());
    file += std::string(1, '\x08') + std::string(6, '\0') + "\x01\x01";
    file += std::string(7, '\0') + "\x01" + std::string(8, '\0') + std::string(7, '\0') + table;
    return file;
}

std::optional<PropertyList> fromString(const std::string& bytes) {
    return PropertyList::fromBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
}

TEST(PropertyList, NestingIsLimitedAtExactly512Levels) {
    EXPECT_TRUE(PropertyList::fromXml(nestedXml(PropertyList::kMaxDepth)).has_value());
    EXPECT_FALSE(PropertyList::fromXml(nestedXml(PropertyList::kMaxDepth + 1)).has_value());
    EXPECT_TRUE(fromString(chainedBinary(PropertyList::kMaxDepth, false)).has_value());
    EXPECT_FALSE(fromString(chainedBinary(PropertyList::kMaxDepth + 1, false)).has_value());
}

TEST(PropertyList, HostileOrBrokenInputReadsAsNoList) {
    // The hand-made binary is sound when its text is.
    ASSERT_EQ(fromString(binaryString("abc")), PropertyList::string("abc"));
    TemporaryFolder folder;
    const std::string valid = kStandardFile;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"truncated", valid.substr(0, valid.size() / 2)},
        {"cut after the root opens", valid.substr(0, valid.find("<array>") + 7)},
        {"not a list", "JFIF\xff\xd8 certainly not a property list"},
        {"mismatched tags", "<plist version=\"1.0\"><array><dict></array></dict></plist>"},
        {"deep XML", nestedXml(100000)},
        {"deep XML with closing tags hidden in a comment", hiddenDepthXml()},
        {"deep binary chain", chainedBinary(100000, false)},
        {"binary cycle", chainedBinary(3, true)},
        {"binary header only", "bplist00"},
        {"truncated binary", chainedBinary(4, false).substr(0, 30)},
        // libplist aborts the process when asked for text with a NUL inside.
        {"NUL in XML text",
         std::string("<plist version=\"1.0\"><string>a\0b</string></plist>", 47)},
        {"NUL in a binary string", binaryString(std::string("a\0b", 3))},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        writeText(folder / "list.plist", bytes);
        EXPECT_FALSE(PropertyList::readFile(folder / "list.plist").has_value());
    }
    EXPECT_FALSE(PropertyList::readFile(folder / "missing.plist").has_value());
    EXPECT_FALSE(PropertyList::readFile(folder.path()).has_value());

    // Refused by its size alone: a sparse file costs no disk.
    const auto huge = folder / "huge.plist";
    writeText(huge, valid);
    std::filesystem::resize_file(huge, PropertyList::kMaxFileBytes + 1);
    EXPECT_FALSE(PropertyList::readFile(huge).has_value());
}

TEST(PropertyList, IntegerValueReadsWhatTheListsStore) {
    EXPECT_EQ(PropertyList::string("3").integerValue(), 3);
    EXPECT_EQ(PropertyList::string(" 7").integerValue(), 7);
    EXPECT_EQ(PropertyList::string("-2px").integerValue(), -2);
    EXPECT_EQ(PropertyList::string("+10").integerValue(), 10);
    EXPECT_EQ(PropertyList::string("99999999999999999999").integerValue(), LLONG_MAX);
    EXPECT_EQ(PropertyList::string("-9223372036854775808").integerValue(), LLONG_MIN);
    EXPECT_FALSE(PropertyList::string("").integerValue().has_value());
    EXPECT_FALSE(PropertyList::string("abc").integerValue().has_value());
    EXPECT_FALSE(PropertyList::string("-").integerValue().has_value());
    EXPECT_EQ(PropertyList::real(3.9).integerValue(), 3);
    EXPECT_EQ(PropertyList::real(-3.9).integerValue(), -3);
    EXPECT_EQ(PropertyList::real(1e300).integerValue(), LLONG_MAX);
    EXPECT_EQ(PropertyList::boolean(true).integerValue(), 1);
    EXPECT_FALSE(PropertyList::date(at(5)).integerValue().has_value());
    EXPECT_FALSE(PropertyList::array({}).integerValue().has_value());
}

TEST(PropertyList, ShortOrWrongListsReadSafely) {
    const auto shortList = PropertyList::array({PropertyList::string("1")});
    // The configuration list is read at fixed indexes; a short one must not crash.
    EXPECT_FALSE(shortList[8].integerValue().has_value());
    EXPECT_EQ(PropertyList::string("x")[0].size(), 0u);
    EXPECT_EQ(PropertyList::string("x").find("k"), nullptr);
    EXPECT_TRUE(PropertyList::integer(4).array().empty());

    auto grown = shortList;
    grown[2] = PropertyList::string("5");
    ASSERT_EQ(grown.size(), 3u);
    EXPECT_EQ(grown[0].stringValue(), "1");
    EXPECT_EQ(grown[2].integerValue(), 5);
    EXPECT_NE(grown, shortList);
}

// Runs `body` with writes limited to `bytes` per file, so a write fails part of the way through.
template <typename Body>
void withFileSizeLimit(rlim_t bytes, Body body) {
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = bytes;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    body();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
}

TEST(PropertyList, FailedWriteLeavesTheOldFileWhole) {
    TemporaryFolder folder;
    const auto path = folder / "config.plist";
    const auto old = PropertyList::array({PropertyList::string("old")});
    ASSERT_TRUE(old.writeFile(path));
    const std::string before = readText(path);

    // A write that breaks off half way, as on a full disk.
    PropertyList::Array many(20000, PropertyList::string("a long enough line of text"));
    withFileSizeLimit(4096, [&] { EXPECT_FALSE(PropertyList::array(many).writeFile(path)); });
    EXPECT_EQ(readText(path), before);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"config.plist"});

    // A folder where the file should be is never replaced.
    std::filesystem::create_directory(folder / "taken.plist");
    EXPECT_FALSE(old.writeFile(folder / "taken.plist"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.plist"));
    EXPECT_EQ(folder.entries().size(), 2u);

    EXPECT_FALSE(old.writeFile(folder / "no-such-folder" / "config.plist"));
}

} // namespace
