// The --help page of lumaro-ghost, of each of its subcommands and of lumaro-host, laid out alike: the head
// (how the command is typed and what it does), then its subcommands and its options as CLI11 holds them, each
// with what it does, then the foot (examples, exit status). The options are the parser's own, so the page
// names every one the command takes.
#pragma once

#include <CLI/App.hpp>
#include <CLI/CLI.hpp>
#include <CLI/Formatter.hpp>
#include <CLI/FormatterFwd.hpp>
#include <cstddef>
#include <string>
#include <utility>

namespace lumaro_tools {

class HelpPage : public CLI::Formatter {
public:
  // nameColumn: where the text beside a subcommand's or an option's name starts.
  HelpPage(std::string head, std::size_t nameColumn) : head_(std::move(head)) { column_width(nameColumn); }

  std::string make_help(const CLI::App* app, std::string /*name*/, CLI::AppFormatMode /*mode*/) const override {
    std::string lists =
        make_subcommands(app, CLI::AppFormatMode::Normal) + make_groups(app, CLI::AppFormatMode::Normal);
    // CLI11 ends a group of options with a blank line when a hidden group follows it.
    while (lists.ends_with("\n\n")) lists.pop_back();
    std::string page = head_ + lists;
    if (const std::string foot = app->get_footer(); !foot.empty()) page += "\n" + foot;
    return page;
  }

private:
  std::string head_;
};

}  // namespace lumaro_tools
