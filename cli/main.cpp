// rostrel-cli: the editor's core from the command line, for whole rosters and
// scripts. Every write follows the window's save rules. This file reads the
// arguments; each command has a file of its own.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/commands.h"
#include "cli/common.h"
#include "rostrel_version.h"

int main(int argc, char** argv) {
  using namespace rostrel::cli;
  CLI::App app{"rostrel-cli: NBA 2K9 roster files (.ROS) and saved games (.FXG) from the command line"};
  app.set_version_flag("--version", "rostrel-cli " ROSTREL_VERSION);
  app.require_subcommand(1);
  std::string file, player, format = "table";
  std::vector<std::string> assignments;
  bool dry_run = false, backup = false, fix = false, strict = false;

  auto* list = app.add_subcommand("list", "every player in file order: row, record position, first and last name");
  list->add_option("FILE", file, "roster file or saved game")->required();
  list->add_option("--format", format, "table, csv or json")->check(CLI::IsMember({"table", "csv", "json"}));

  auto* show = app.add_subcommand("show", "every field of one player as the pages show it");
  show->add_option("FILE", file)->required();
  show->add_option("PLAYER", player, "row number, @record position, or \"First Last\"")->required();
  show->add_option("--format", format, "table or json")->check(CLI::IsMember({"table", "json"}));

  auto* set = app.add_subcommand("set", "change fields by their page labels, as typing into the box and Save would");
  set->add_option("FILE", file)->required();
  set->add_option("PLAYER", player, "row number, @record position, or \"First Last\"")->required();
  set->add_option("FIELD=TEXT", assignments, "for example Speed=75 Birth=19860101 \"Year 1=12.5\"")->required();
  set->add_flag("--dry-run", dry_run, "print what would change and write nothing");
  set->add_flag("--backup", backup, "copy FILE to FILE.bak first (an existing backup is kept)");
  set->add_flag("--strict", strict, "refuse, writing nothing, any value that would not read back as typed");

  auto* check = app.add_subcommand("check", "the checksum, the player count and every problem found; exit 0 when sound");
  check->add_option("FILE", file)->required();
  check->add_flag("--fix", fix, "rewrite the checksum only");

  std::string csv, other;
  auto* exporting = app.add_subcommand("export", "one CSV row per player, one column per field (UTF-8)");
  exporting->add_option("FILE", file)->required();
  exporting->add_option("--csv", csv, "the CSV file to write")->required();

  auto* importing = app.add_subcommand("import", "apply a CSV of the export's shape; nothing is written when a row is bad");
  importing->add_option("FILE", file)->required();
  importing->add_option("--csv", csv, "the CSV file to read")->required();
  importing->add_flag("--backup", backup, "copy FILE to FILE.bak first (an existing backup is kept)");
  importing->add_flag("--strict", strict, "refuse, writing nothing, any value that would not read back as typed");

  auto* diff = app.add_subcommand("diff", "the players and fields that differ, matched by record position");
  diff->add_option("A", file)->required();
  diff->add_option("B", other)->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // --help and --version end here too, with their own code 0.
    return app.exit(e) == 0 ? 0 : 2;
  }
  try {
    if (*list) return CommandList(file, format);
    if (*show) return CommandShow(file, player, format);
    if (*set) return CommandSet(file, player, assignments, dry_run, backup, strict);
    if (*check) return CommandCheck(file, fix);
    if (*exporting) return CommandExport(file, csv);
    if (*importing) return CommandImport(file, csv, backup, strict);
    if (*diff) return CommandDiff(file, other);
  } catch (const Refused& refused) {
    std::fprintf(stderr, "rostrel-cli: %s\n", refused.message.c_str());
    return 1;
  } catch (const CLI::ValidationError& e) {
    std::fprintf(stderr, "rostrel-cli: %s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rostrel-cli: %s\n", e.what());
    return 1;
  }
  return 2;
}
