#include "shell/ManualPage.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string_view>
#include <vector>

namespace {

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::size_t indentOf(const std::string& line) {
    const auto first = line.find_first_not_of(' ');
    return first == std::string::npos ? line.size() : first;
}

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// A heading is a few words, so "Exit status: 0 done" opens a section and a sentence that merely
// has a colon in it does not.
bool looksLikeHeading(const std::string& words) {
    return !words.empty() && std::count(words.begin(), words.end(), ' ') <= 2 &&
           std::isupper(static_cast<unsigned char>(words[0]));
}

class Writer {
public:
    explicit Writer(std::ostringstream& out) : out_(out) {}

    void section(const std::string& name) {
        out_ << ".SH " << ManualPage::escape(upper(name)) << "\n";
        inEntry_ = false;
        inParagraph_ = false;
    }
    void entry(const std::string& term, const std::string& description) {
        out_ << ".TP\n\\fB" << ManualPage::escape(term) << "\\fR\n";
        inEntry_ = true;
        inParagraph_ = false;
        if (!description.empty())
            text(description);
    }
    void continuation(const std::string& text) { this->text(text); }
    void paragraphLine(const std::string& line) {
        if (!inParagraph_) {
            out_ << (inEntry_ ? ".PP\n" : "");
            inParagraph_ = true;
            inEntry_ = false;
        } else if (!endsSentence(last_) && std::isupper(static_cast<unsigned char>(line[0]))) {
            // A new sentence after an unfinished line ("... | quit", then "Time is virtual")
            // was a line of its own in the help, and keeps its own line.
            out_ << ".br\n";
        }
        text(line);
    }
    void blank() {
        if (inParagraph_)
            out_ << ".PP\n";
        inParagraph_ = false;
        inEntry_ = false;
    }
    bool inEntry() const { return inEntry_; }

private:
    void text(const std::string& line) {
        out_ << ManualPage::escape(line) << "\n";
        last_ = line;
    }
    static bool endsSentence(const std::string& line) {
        return line.empty() || std::string_view(".,;:").find(line.back()) != std::string::npos;
    }

    std::ostringstream& out_;
    bool inEntry_ = false;
    bool inParagraph_ = false;
    std::string last_;
};

} // namespace

std::string ManualPage::escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\''))
        out.insert(0, "\\&");
    return out;
}

std::string ManualPage::fromHelp(const Title& title, const std::string& help) {
    std::vector<std::string> lines;
    std::istringstream in(help);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.substr(0, line.find_last_not_of(" \r") + 1));

    std::ostringstream out;
    out << ".TH " << escape(upper(title.name)) << " 1 \"\" \"" << escape(title.source)
        << "\" \"User Commands\"\n";
    // Option names and paths must not be broken at a hyphen.
    out << ".nh\n";
    Writer writer(out);
    writer.section("Name");
    out << escape(title.name) << " \\- " << escape(title.summary) << "\n";

    // Everything before the usage line describes the program; the usage line is the synopsis.
    std::size_t i = 0;
    std::vector<std::string> description;
    for (; i < lines.size() && !lines[i].starts_with("Usage:"); ++i)
        description.push_back(lines[i]);
    if (i < lines.size()) {
        writer.section("Synopsis");
        out << escape(trimmed(lines[i].substr(6))) << "\n";
        ++i;
    }
    writer.section("Description");
    for (const auto& line : description) {
        if (trimmed(line).empty())
            writer.blank();
        else
            writer.paragraphLine(trimmed(line));
    }

    // Where the current entry's description column is, to tell its continuation lines from a
    // new entry.
    std::size_t descriptionColumn = 0;
    for (; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::string text = trimmed(line);
        if (text.empty()) {
            writer.blank();
            continue;
        }
        const std::size_t indent = indentOf(line);
        if (indent == 0) {
            const auto colon = line.find(':');
            std::string name = line.substr(0, colon);
            // "Files (below DIR/ ...):": the aside in brackets is the section's first line.
            std::string aside;
            if (const auto bracket = name.find(" ("); bracket != std::string::npos) {
                aside = name.substr(bracket + 1);
                name = name.substr(0, bracket);
            }
            if (colon != std::string::npos && looksLikeHeading(name)) {
                writer.section(name);
                if (!aside.empty())
                    writer.paragraphLine(aside);
                if (const std::string rest = trimmed(line.substr(colon + 1)); !rest.empty())
                    writer.paragraphLine(rest);
                continue;
            }
            writer.paragraphLine(text);
            continue;
        }
        if (writer.inEntry() && descriptionColumn > 0 && indent >= descriptionColumn) {
            writer.continuation(text);
            continue;
        }
        const auto gap = line.find("  ", indent);
        if (gap != std::string::npos) {
            const auto start = line.find_first_not_of(' ', gap);
            descriptionColumn = start;
            writer.entry(line.substr(indent, gap - indent), line.substr(start));
            continue;
        }
        // A term alone on its line: its description follows, indented deeper.
        if (i + 1 < lines.size() && indentOf(lines[i + 1]) > indent + 8 &&
            !trimmed(lines[i + 1]).empty()) {
            descriptionColumn = indentOf(lines[i + 1]);
            writer.entry(text, "");
            continue;
        }
        writer.paragraphLine(text);
    }
    return out.str();
}
