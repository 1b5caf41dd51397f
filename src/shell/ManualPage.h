#pragma once

#include <string>

// Turns the text that --help prints into a manual page (roff, man macros), so the two are one
// text and cannot drift apart. The help's own layout carries the structure: a line at the left
// edge ending in a colon ("Options:", "Keyboard:") or opening with a short "Heading: ..." starts
// a section, an indented "term  description" line (with its deeper-indented continuation lines)
// becomes a tagged paragraph, any other line is running text.
class ManualPage {
public:
    struct Title {
        // The page's name ("morvane", "morvane-print") and what it is, for the NAME section.
        std::string name;
        std::string summary;
        // Shown in the page's footer, as "Morvane 0.1.0".
        std::string source;
    };

    static std::string fromHelp(const Title& title, const std::string& help);

    // Text as roff shows it literally: backslashes, hyphens and a leading dot or quote escaped.
    static std::string escape(const std::string& text);
};
