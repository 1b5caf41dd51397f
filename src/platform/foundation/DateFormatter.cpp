#include "platform/foundation/DateFormatter.h"

#include <ctime>

namespace platform {

namespace {

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
constexpr const char* kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string padded(long long value, int width) {
    const bool negative = value < 0;
    std::string digits = std::to_string(negative ? -value : value);
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return negative ? "-" + digits : digits;
}

std::string abbreviated(const char* name) {
    return std::string(name, 3);
}

} // namespace

DateFormatter::DateFormatter(std::string format, std::string localeIdentifier)
    : format_(std::move(format)), locale_(std::move(localeIdentifier)) {
    std::string literal;
    auto flushLiteral = [&] {
        if (!literal.empty()) {
            tokens_.push_back({0, 0, std::move(literal)});
            literal.clear();
        }
    };
    for (std::size_t i = 0; i < format_.size();) {
        const char c = format_[i];
        if (c == '\'') {
            if (i + 1 < format_.size() && format_[i + 1] == '\'') {
                literal += '\'';
                i += 2;
                continue;
            }
            // Quoted text runs to the next lone quote, or to the end if it is never closed.
            for (++i; i < format_.size(); ++i) {
                if (format_[i] == '\'') {
                    if (i + 1 < format_.size() && format_[i + 1] == '\'') {
                        literal += '\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += format_[i];
            }
            continue;
        }
        if (!isLetter(c)) {
            literal += c;
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < format_.size() && format_[end] == c) {
            ++end;
        }
        flushLiteral();
        tokens_.push_back({c, static_cast<int>(end - i), {}});
        i = end;
    }
    flushLiteral();
}

std::string DateFormatter::stringFromDate(std::chrono::system_clock::time_point when) const {
    const std::time_t seconds =
        std::chrono::system_clock::to_time_t(std::chrono::floor<std::chrono::seconds>(when));
    // localtime_r need not read TZ again by itself; tzset makes a changed TZ count.
    ::tzset();
    std::tm local{};
    if (::localtime_r(&seconds, &local) == nullptr) {
        return {};
    }
    const long long year = 1900LL + local.tm_year;
    std::string text;
    for (const Token& token : tokens_) {
        switch (token.field) {
        case 0:
            text += token.text;
            break;
        case 'y':
            text += token.count == 2 ? padded(((year % 100) + 100) % 100, 2)
                                     : padded(year, token.count);
            break;
        case 'M':
            if (token.count >= 4) {
                text += kMonths[local.tm_mon];
            } else if (token.count == 3) {
                text += abbreviated(kMonths[local.tm_mon]);
            } else {
                text += padded(local.tm_mon + 1, token.count);
            }
            break;
        case 'd':
            text += padded(local.tm_mday, token.count);
            break;
        case 'H':
            text += padded(local.tm_hour, token.count);
            break;
        case 'h':
            text += padded(local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12, token.count);
            break;
        case 'a':
            text += local.tm_hour < 12 ? "AM" : "PM";
            break;
        case 'm':
            text += padded(local.tm_min, token.count);
            break;
        case 's':
            text += padded(local.tm_sec, token.count);
            break;
        case 'E':
            text += token.count >= 4 ? std::string(kWeekdays[local.tm_wday])
                                     : abbreviated(kWeekdays[local.tm_wday]);
            break;
        default:
            text.append(static_cast<std::size_t>(token.count), token.field);
            break;
        }
    }
    return text;
}

} // namespace platform
