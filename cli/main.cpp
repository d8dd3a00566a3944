// rostrel-cli: the editor's core from the command line, for whole rosters and
// scripts. Every write follows the window's save rules. This file reads the
// arguments; each command has a file of its own.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>

#include "cli/commands.h"
#include "cli/common.h"
#include "rostrel_version.h"

namespace {

using namespace rostrel::cli;

struct Arguments {
  std::string file, other, player, csv, format = "table";
  ListQuery query;
  std::vector<std::string> assignments;
  bool dry_run = false, backup = false, fix = false, strict = false, accept_stored = false, plain = false;
  bool no_history = false;
  double history_limit = 64;  // MB
  double wait = 10;           // seconds
  std::optional<std::uint32_t> number, down_to;
};

struct Commands {
  CLI::App *list, *show, *set, *check, *exporting, *importing, *diff, *history, *undo, *redo;
};

constexpr const char* kFilterHelp =
    "only the players for whom every term holds; terms are separated by blanks, and a label or value with "
    "blanks is quoted (\"Years Pro\">3):\n"
    "  jose         the first or last name contains it, ignoring case and accents\n"
    "  Label=V      the field shows V, as the pages show it; Label!=V: it does not\n"
    "               (a drop-down's item by a prefix of its text: Position=Point)\n"
    "  Label<V      also <=, > and >=: numbers by value (ratings, weight, number, years pro, salaries\n"
    "               in millions, birth), height in inches or feet-inches (Height<6-10);\n"
    "               drop-downs compare by their items' order (Position>=\"Power Forward\")\n"
    "  A=V|W        any of the values (Position=Center|\"Power Forward\")";

void HistoryOptions(CLI::App* command, Arguments& a) {
  command->add_flag("--no-history", a.no_history, "keep no entry of this write in FILE.history: it cannot be undone");
  command->add_option("--history-limit", a.history_limit, "keep the history within MB megabytes (64)");
}

Commands Declare(CLI::App& app, Arguments& a) {
  Commands c{};
  c.list = app.add_subcommand(
      "list", "the players: row (in file order), record position, first and last name, and any fields");
  c.list->add_option("FILE", a.file, "roster file or saved game")->required();
  c.list->add_option("--format", a.format, "table, csv or json")->check(CLI::IsMember({"table", "csv", "json"}));
  c.list->add_option("--columns", a.query.columns, "fields shown after the names, by page label: Position,Height,Speed");
  c.list->add_option("--sort", a.query.sort,
                     "sort by fields, the first deciding: Position,-Height (a minus sorts down); numbers by value, "
                     "heights by inches, drop-downs by item order, names as the window sorts them");
  c.list->add_option("--filter", a.query.filter, kFilterHelp);

  c.show = app.add_subcommand("show", "every field of one player as the pages show it");
  c.show->add_option("FILE", a.file)->required();
  c.show->add_option("PLAYER", a.player, "row number, @record position, or \"First Last\"")->required();
  c.show->add_option("--format", a.format, "table or json")->check(CLI::IsMember({"table", "json"}));

  c.set = app.add_subcommand("set", "change fields by their page labels, as typing into the box and Save would");
  c.set->add_option("FILE", a.file)->required();
  c.set->add_option("PLAYER", a.player, "row number, @record position, or \"First Last\"")->required();
  c.set->add_option("FIELD=TEXT", a.assignments, "for example Speed=75 Birth=19860101 \"Year 1=12.5\"")->required();
  c.set->add_flag("--dry-run", a.dry_run, "print what would change and write nothing");
  c.set->add_flag("--backup", a.backup, "copy FILE to FILE.bak first (an existing backup is kept)");
  c.set->add_flag("--strict", a.strict, "refuse, writing nothing, any value that would not read back as typed");
  HistoryOptions(c.set, a);

  c.check = app.add_subcommand("check", "the checksum, the player count and every problem found; exit 0 when sound");
  c.check->add_option("FILE", a.file)->required();
  c.check->add_flag("--fix", a.fix, "rewrite the checksum only");

  c.exporting = app.add_subcommand("export", "one CSV row per player, one column per field (UTF-8 with a byte-order mark "
                                              "and CRLF, as spreadsheets write it)");
  c.exporting->add_option("FILE", a.file)->required();
  c.exporting->add_option("--csv", a.csv, "the CSV file to write")->required();
  c.exporting->add_flag("--plain", a.plain, "UTF-8 with LF and no byte-order mark, for scripts");
  c.exporting->add_option("--filter", a.query.filter, "only the players the filter picks (as list --filter)");

  c.importing = app.add_subcommand("import", "apply a CSV of the export's shape (UTF-8, UTF-16 or the Windows code page; "
                                              "commas, semicolons or tabs); nothing is written when a cell is bad");
  c.importing->add_option("FILE", a.file)->required();
  c.importing->add_option("--csv", a.csv, "the CSV file to read")->required();
  c.importing->add_flag("--backup", a.backup, "copy FILE to FILE.bak first (an existing backup is kept)");
  c.importing->add_flag("--accept-stored", a.accept_stored,
                        "apply cells that would not read back as typed as the file would hold them (by default "
                        "such a cell refuses the whole import)");
  c.importing->add_flag("--strict", a.strict, "refuse any cell that would not read back as typed (the default)");
  HistoryOptions(c.importing, a);

  c.diff = app.add_subcommand("diff", "the players and fields that differ, matched by record position");
  c.diff->add_option("A", a.file)->required();
  c.diff->add_option("B", a.other)->required();

  c.history = app.add_subcommand("history", "the writes kept beside the roster (FILE.history), oldest first, or one "
                                             "write field by field");
  c.history->add_option("FILE", a.file)->required();
  c.history->add_option("N", a.number, "a write's number: its changes, field by field");
  c.history->add_option("--format", a.format, "table, csv or json")->check(CLI::IsMember({"table", "csv", "json"}));
  c.history->add_flag("--dry-run", a.dry_run, "accepted as by every history command; history never writes");

  c.undo = app.add_subcommand("undo", "undo the newest write still in effect; exit 1 when nothing can be undone or the "
                                       "file no longer holds what the write left");
  c.undo->add_option("FILE", a.file)->required();
  c.undo->add_option("--to", a.down_to, "undo every write from the newest down to write N, as one write");
  c.undo->add_flag("--dry-run", a.dry_run, "print what would change and write nothing");
  c.undo->add_option("--history-limit", a.history_limit, "keep the history within MB megabytes (64)");

  c.redo = app.add_subcommand("redo", "apply again the newest undone write, unless a write came after the undo");
  c.redo->add_option("FILE", a.file)->required();
  c.redo->add_flag("--dry-run", a.dry_run, "print what would change and write nothing");
  c.redo->add_option("--history-limit", a.history_limit, "keep the history within MB megabytes (64)");
  for (CLI::App* command : {c.list, c.show, c.set, c.check, c.exporting, c.importing, c.diff, c.history, c.undo, c.redo}) {
    command->add_option("--wait", a.wait,
                        "while another program writes FILE, wait up to SECONDS for it (10; 0: do not wait), "
                        "then give up with exit code 3")
        ->check(CLI::Range(0.0, 86400.0));
  }
  return c;
}

int Run(const Commands& c, const Arguments& a) {
  rostrel::SetLockWait(std::chrono::milliseconds(static_cast<long long>(a.wait * 1000)));
  const bool writes = (*c.set && !a.dry_run) || *c.importing || ((*c.undo || *c.redo) && !a.dry_run) ||
                      (*c.check && a.fix);
  const rostrel::RosterLock lock = LockForCommand(a.file, writes);
  const rostrel::RosterLock other = *c.diff ? LockForCommand(a.other, false) : rostrel::RosterLock{};
  if (*c.list) return CommandList(a.file, a.format, a.query);
  if (*c.show) return CommandShow(a.file, a.player, a.format);
  if (*c.set) {
    return CommandSet(a.file, a.player, a.assignments, a.dry_run, a.backup, a.strict,
                      HistoryFor("set", a.no_history, a.history_limit));
  }
  if (*c.check) return CommandCheck(a.file, a.fix);
  if (*c.exporting) return CommandExport(a.file, a.csv, a.plain, a.query.filter);
  if (*c.importing) {
    return CommandImport(a.file, a.csv, a.backup, a.accept_stored && !a.strict,
                         HistoryFor("import", a.no_history, a.history_limit));
  }
  if (*c.diff) return CommandDiff(a.file, a.other);
  if (*c.history) return CommandHistory(a.file, a.number, a.format);
  if (*c.undo || *c.redo) return CommandUndo(a.file, c.redo->parsed(), a.down_to, a.dry_run, a.history_limit);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"rostrel-cli: NBA 2K9 roster files (.ROS) and saved games (.FXG) from the command line"};
  app.set_version_flag("--version", "rostrel-cli " ROSTREL_VERSION);
  app.require_subcommand(1);
  Arguments arguments;
  const Commands commands = Declare(app, arguments);
  try {
    std::vector<std::string> arguments = Utf8Arguments(argc, argv);
    if (!arguments.empty()) arguments.erase(arguments.begin());  // the program's own name
    std::reverse(arguments.begin(), arguments.end());             // as CLI11 takes them
    app.parse(arguments);
  } catch (const CLI::ParseError& e) {
    // --help and --version end here too, with their own code 0.
    return app.exit(e) == 0 ? 0 : 2;
  }
  try {
    return Run(commands, arguments);
  } catch (const Refused& refused) {
    PrintError("rostrel-cli: " + refused.message + "\n");
    return 1;
  } catch (const UsageError& e) {
    PrintError("rostrel-cli: " + e.message + "\n");
    return 2;
  } catch (const Busy& busy) {
    PrintError("rostrel-cli: " + busy.message + "\n");
    return kExitBusy;
  } catch (const std::exception& e) {
    PrintError(std::string("rostrel-cli: ") + e.what() + "\n");
    return 1;
  }
}
