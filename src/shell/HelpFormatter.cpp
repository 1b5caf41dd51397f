#include "shell/HelpFormatter.h"

#include <sstream>

std::string HelpFormatter::make_description(const CLI::App* app) const {
    return wrap(CLI::Formatter::make_description(app), kWidth);
}

std::string HelpFormatter::make_option_desc(const CLI::Option* option) const {
    return wrap(CLI::Formatter::make_option_desc(option), descriptionWidth());
}

std::string HelpFormatter::make_subcommand(const CLI::App* command) const {
    std::stringstream out;
    CLI::detail::format_help(out, command->get_display_name(true),
                             wrap(command->get_description(), descriptionWidth()),
                             get_column_width());
    return out.str();
}

std::size_t HelpFormatter::descriptionWidth() const {
    return kWidth - std::min(get_column_width(), kWidth / 2);
}

std::string HelpFormatter::wrap(const std::string& text, std::size_t width) {
    std::string out;
    std::istringstream lines(text);
    bool firstLine = true;
    for (std::string line; std::getline(lines, line);) {
        if (!firstLine)
            out += '\n';
        firstLine = false;
        std::istringstream words(line);
        std::size_t column = 0;
        for (std::string word; words >> word;) {
            if (column > 0 && column + 1 + word.size() > width) {
                out += '\n';
                column = 0;
            }
            if (column > 0) {
                out += ' ';
                ++column;
            }
            out += word;
            column += word.size();
        }
    }
    if (!text.empty() && text.back() == '\n')
        out += '\n';
    return out;
}
