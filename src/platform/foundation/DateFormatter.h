#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace platform {

// Turns a point in time into text by a pattern such as "MMMM dd, yyyy", in the local time zone
// (TZ is honoured) and with English names whatever the process locale, so a print's date reads
// the same on every machine.
//
// Pattern letters: y (yy two digits, else the full year padded to the count), M (M, MM numbers;
// MMM "Jan"; MMMM "January"), d, H (0-23), h (1-12), a (AM/PM), m, s, E (EEE "Mon", EEEE
// "Monday"). A repeated number letter pads with zeros to its count. Text in single quotes is
// literal ('' is one quote); other characters, and letters with no meaning here, stand as they are.
class DateFormatter {
public:
    // Only English names exist; another locale identifier is kept but changes nothing.
    explicit DateFormatter(std::string format, std::string localeIdentifier = "en_US");

    std::string stringFromDate(std::chrono::system_clock::time_point when) const;

    const std::string& format() const { return format_; }
    const std::string& localeIdentifier() const { return locale_; }

private:
    struct Token {
        char field; // 0 for literal text
        int count;
        std::string text;
    };

    std::string format_;
    std::string locale_;
    std::vector<Token> tokens_;
};

} // namespace platform
