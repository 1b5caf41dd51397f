#pragma once

#include <CLI/CLI.hpp>

#include <string>

// CLI11's help kept inside a terminal's 80 columns: a command's description is broken at
// spaces to fit, and those of options and commands to fit beside the column of names, under
// which CLI11 indents every line after the first. The footers are written to fit.
class HelpFormatter : public CLI::Formatter {
public:
    static constexpr std::size_t kWidth = 80;

    std::string make_description(const CLI::App* app) const override;
    std::string make_option_desc(const CLI::Option* option) const override;
    std::string make_subcommand(const CLI::App* command) const override;

    // `text` with its lines broken at spaces to at most `width` columns; a word longer than
    // that stands on a line of its own. Line breaks already there are kept, a last one too.
    static std::string wrap(const std::string& text, std::size_t width);

private:
    std::size_t descriptionWidth() const;
};
