// rostrel-cli: the editor's core from the command line, for whole rosters and
// scripts. Every write follows the window's save rules.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>

#include "cli/csv.h"
#include "cli/fields.h"
#include "player/names.h"
#include "player/player_cycle.h"
#include "roster/checksum.h"
#include "roster/journal.h"
#include "roster/transaction.h"
#include "rostrel_version.h"

namespace rostrel::cli {
namespace {

using nlohmann::ordered_json;

// A refusal of the file or a value: reported on stderr, exit code 1.
struct Refused {
  std::string message;
};

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Refused{path + ": cannot be read"};
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

struct Roster {
  std::string path;
  std::uint32_t header = 0;
  std::vector<PlayerEntry> rows;
  ListReport report;
  RecoveryReport recovery;
};

// An interrupted write of the roster, recorded in its journal, is completed
// before the roster is read; a journal that does not match the file stops
// every command but check, which reports it.
RecoveryReport Recover(const std::string& path, bool report_only) {
  RecoveryReport report = RecoverRoster(path);
  if (report.what == Recovery::RolledForward) {
    std::fprintf(stderr, "rostrel-cli: %s: an interrupted write was completed from %s\n", path.c_str(),
                 JournalPathFor(path).c_str());
  }
  if ((report.what == Recovery::Mismatch || report.what == Recovery::Failed) && !report_only) {
    throw Refused{report.message};
  }
  return report;
}

Roster List(const std::string& path, bool for_check = false) {
  Roster r{path, 0, {}, {}, {}};
  const auto header = HeaderOffsetFor(path);
  if (!header) throw Refused{path + ": the file extension is wrong (a roster is .ROS, a saved game .FXG)"};
  if (!std::filesystem::is_regular_file(path)) throw Refused{path + ": no such file"};
  r.recovery = Recover(path, for_check);
  r.header = *header;
  r.rows = FillPlayerList(path, *header, &r.report);
  if (r.report.unreadable) throw Refused{path + ": cannot be read"};
  return r;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// PLAYER: a row number, "@" and a record position, or "First Last".
std::size_t FindRow(const Roster& r, const std::string& player) {
  auto refuse = [&](const std::string& why) { return Refused{r.path + ": player " + player + ": " + why}; };
  if (!player.empty() && player.find_first_not_of("0123456789") == std::string::npos) {
    const unsigned long row = std::stoul(player.substr(0, 9));
    if (row < 1 || row > r.rows.size()) throw refuse("no such row (the file lists " + std::to_string(r.rows.size()) + ")");
    return row - 1;
  }
  if (player.size() > 1 && player[0] == '@') {
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
      if (" " + player.substr(1) == r.rows[i].position) return i;
    }
    throw refuse("no listed player has that record position");
  }
  std::vector<std::size_t> matches;
  for (std::size_t i = 0; i < r.rows.size(); ++i) {
    if (Lower(CellText(r.rows[i].first_name) + " " + CellText(r.rows[i].last_name)) == Lower(player)) {
      matches.push_back(i);
    }
  }
  if (matches.empty()) throw refuse("no player has that name");
  if (matches.size() > 1) {
    std::string which;
    for (std::size_t i : matches) which += " row " + std::to_string(i + 1) + " (@" + r.rows[i].position.substr(1) + ")";
    throw refuse("the name is ambiguous:" + which);
  }
  return matches[0];
}

class OpenView {
 public:
  explicit OpenView(const std::string& path) {
    const OpenStatus status = OpenRosterView(view_, path);
    if (status != OpenStatus::Ok) throw Refused{path + ": " + OpenStatusText(status)};
  }
  RosterView& view() { return view_; }

 private:
  RosterView view_;  // released at destruction
};

void Backup(const std::string& path) {
  const std::string copy = path + ".bak";
  if (std::filesystem::exists(copy)) return;  // an existing backup is never replaced
  std::error_code error;
  std::filesystem::copy_file(path, copy, error);
  if (error) throw Refused{path + ": the backup " + copy + " cannot be written: " + error.message()};
}

std::string Position(const PlayerEntry& row) { return row.position.substr(1); }

// Names and texts hold the low bytes of 16-bit units, that is Latin-1: as
// UTF-8 for JSON and CSV.
std::string Utf8(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

int CommandList(const std::string& file, const std::string& format) {
  const Roster r = List(file);
  if (format == "json") {
    ordered_json players = ordered_json::array();
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
      ordered_json p;
      p["row"] = i + 1;
      p["position"] = std::stoul(Position(r.rows[i]));
      p["first"] = Utf8(CellText(r.rows[i].first_name));
      p["last"] = Utf8(CellText(r.rows[i].last_name));
      players.push_back(p);
    }
    std::cout << players.dump(2) << "\n";
  } else if (format == "csv") {
    std::cout << CsvLine({"row", "position", "first", "last"});
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
      std::cout << CsvLine({std::to_string(i + 1), Position(r.rows[i]), Utf8(CellText(r.rows[i].first_name)),
                            Utf8(CellText(r.rows[i].last_name))});
    }
  } else {
    std::printf("%6s  %10s  %-20s %s\n", "ROW", "POSITION", "FIRST", "LAST");
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
      std::printf("%6zu  %10s  %-20s %s\n", i + 1, Position(r.rows[i]).c_str(), CellText(r.rows[i].first_name).c_str(),
                  CellText(r.rows[i].last_name).c_str());
    }
  }
  return 0;
}

// The pages filled from one player, as the window's load fills them.
struct Loaded {
  MemoryPages pages;
  LoadedPlayer player;
};

void Load(OpenView& open, const Roster& r, std::size_t row, Loaded& loaded) {
  const std::uint32_t p = RecordPositionOf(r.rows[row]);
  if (!LoadPlayer(open.view(), p, loaded.pages, loaded.player)) throw Refused{r.path + ": the player's record lies outside the file"};
}

int CommandShow(const std::string& file, const std::string& player, const std::string& format) {
  const Roster r = List(file);
  const std::size_t row = FindRow(r, player);
  OpenView open(file);
  Loaded loaded;
  Load(open, r, row, loaded);
  if (format == "json") {
    ordered_json fields;
    for (const Field& f : Fields()) fields[f.label] = Utf8(CellText(FieldText(loaded.pages, f)));
    ordered_json shown;
    shown["row"] = row + 1;
    shown["position"] = std::stoul(Position(r.rows[row]));
    shown["fields"] = fields;
    std::cout << shown.dump(2) << "\n";
    return 0;
  }
  std::printf("row %zu, record position %s\n", row + 1, Position(r.rows[row]).c_str());
  for (const Field& f : Fields()) {
    std::printf("%-20s %s%s\n", f.label.c_str(), CellText(FieldText(loaded.pages, f)).c_str(), f.editable() ? "" : "  (shown only)");
  }
  return 0;
}

struct Assignment {
  const Field* field;
  std::string text;
};

std::vector<Assignment> ParseAssignments(const std::vector<std::string>& texts) {
  std::vector<Assignment> all;
  for (const std::string& a : texts) {
    const std::size_t eq = a.find('=');
    if (eq == std::string::npos) throw CLI::ValidationError("FIELD=TEXT", "expected FIELD=TEXT, got " + a);
    const Field* f = FindField(a.substr(0, eq));
    if (!f) throw Refused{"no field is labelled \"" + a.substr(0, eq) + "\" (rostrel-cli show FILE PLAYER lists them)"};
    all.push_back({f, a.substr(eq + 1)});
  }
  return all;
}

// One typed value and what the file holds for it after the save.
struct Outcome {
  std::string label, before, after, typed;
  bool as_typed() const { return after == typed; }
  std::string Text() const {
    return label + ": \"" + before + "\" -> \"" + after + "\"" + (as_typed() ? "" : " (typed \"" + typed + "\")");
  }
};

// Runs work on a copy of file in the temporary folder and removes the copy;
// messages name file, not the copy.
template <typename Work>
auto OnScratchCopy(const std::string& file, Work work) {
  // Named for this run, so that two runs at once never share a copy.
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() /
      ("rostrel-scratch-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
       std::filesystem::path(file).extension().string());
  std::error_code error;
  std::filesystem::copy_file(file, scratch, std::filesystem::copy_options::overwrite_existing, error);
  if (error) throw Refused{file + ": a scratch copy cannot be written: " + error.message()};
  struct Remove {
    std::filesystem::path path;
    ~Remove() { std::filesystem::remove(path); }
  } remove{scratch};
  try {
    return work(scratch.string());
  } catch (const Refused& refused) {
    std::string message = refused.message;
    if (message.rfind(scratch.string(), 0) == 0) message = file + message.substr(scratch.string().size());
    throw Refused{message};
  }
}

// Types the texts into the loaded player's pages and saves it; for each text,
// what the pages showed before and what the file holds afterwards.
std::vector<Outcome> Apply(const std::string& file, const std::string& player, const std::vector<Assignment>& edits) {
  const Roster r = List(file);
  const std::size_t row = FindRow(r, player);
  OpenView open(file);
  Loaded loaded;
  Load(open, r, row, loaded);
  std::vector<Outcome> outcomes;
  for (const Assignment& e : edits) {
    outcomes.push_back({e.field->label, CellText(FieldText(loaded.pages, *e.field)), {}, e.text});
    std::string why;
    if (!PutFieldText(loaded.pages, *e.field, e.text, why)) {
      throw Refused{file + ": player " + player + ": field " + e.field->label + ": \"" + e.text + "\" refused: " + why};
    }
  }
  const SaveResult saved = SavePlayer(open.view(), loaded.pages, loaded.player);
  if (!saved.saved) throw Refused{file + ": the player was not saved: " + saved.error};
  Loaded fresh;
  Load(open, r, row, fresh);
  for (std::size_t k = 0; k < edits.size(); ++k) outcomes[k].after = CellText(FieldText(fresh.pages, *edits[k].field));
  return outcomes;
}

// With --strict: every value must read back as typed, or nothing is written.
void RefuseUnlessAsTyped(const std::string& file, const std::vector<std::string>& not_as_typed) {
  if (not_as_typed.empty()) return;
  std::string message = file + ": with --strict, values that would not read back as typed are refused; nothing was written:";
  for (const std::string& n : not_as_typed) message += "\n  " + n;
  throw Refused{message};
}

int CommandSet(const std::string& file, const std::string& player, const std::vector<std::string>& texts, bool dry_run,
               bool backup, bool strict) {
  const std::vector<Assignment> edits = ParseAssignments(texts);
  if (dry_run || strict) {
    // The same edit on a scratch copy: what the file would hold, and the offsets it would change.
    const std::vector<std::uint8_t> before = ReadAll(file);
    std::vector<std::uint8_t> after;
    const std::vector<Outcome> outcomes = OnScratchCopy(file, [&](const std::string& scratch) {
      std::vector<Outcome> result = Apply(scratch, player, edits);
      after = ReadAll(scratch);
      return result;
    });
    if (strict) {
      std::vector<std::string> refused;
      for (const Outcome& o : outcomes) {
        if (!o.as_typed()) refused.push_back(o.label + ": \"" + o.typed + "\" would be stored as \"" + o.after + "\"");
      }
      RefuseUnlessAsTyped(file, refused);
    }
    if (dry_run) {
      for (const Outcome& o : outcomes) std::printf("would set %s\n", o.Text().c_str());
      std::printf("would change file offsets:");
      for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (before[i] != after[i]) std::printf(" %zu", i);
      }
      std::printf("\n");
      return 0;
    }
  }
  if (backup) Backup(file);
  for (const Outcome& o : Apply(file, player, edits)) std::printf("%s\n", o.Text().c_str());
  return 0;
}

// UTF-8 back to the single bytes a name unit or a box holds; false for a
// character above U+00FF or broken UTF-8.
bool Latin1(const std::string& text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
    } else {
      return false;
    }
  }
  return true;
}

constexpr const char* kPositionColumn = "Record";  // the record position; "Position" is a field

int CommandExport(const std::string& file, const std::string& out_path) {
  const Roster r = List(file);
  OpenView open(file);
  std::ofstream out(out_path, std::ios::binary);
  if (!out) throw Refused{out_path + ": cannot be written"};
  CsvRecord header{kPositionColumn};
  for (const Field& f : Fields()) header.push_back(f.label);
  out << CsvLine(header);
  for (std::size_t row = 0; row < r.rows.size(); ++row) {
    Loaded loaded;
    Load(open, r, row, loaded);
    CsvRecord record{Position(r.rows[row])};
    for (const Field& f : Fields()) record.push_back(Utf8(CellText(FieldText(loaded.pages, f))));
    out << CsvLine(record);
  }
  if (!out.flush()) throw Refused{out_path + ": cannot be written"};
  return 0;
}

// One player's changed cells, checked; applied only when every row is sound.
struct Cell {
  Assignment edit;
  int line, column;
};
struct RowEdit {
  std::size_t row;
  std::vector<Cell> cells;
};

// The cells whose value the file would not hold as typed once the open
// transaction is committed (loads read its pending writes), with their places.
std::vector<std::string> NotAsTyped(OpenView& open, const Roster& r, const std::vector<RowEdit>& plan) {
  std::vector<std::string> found;
  for (const RowEdit& edit : plan) {
    Loaded fresh;
    Load(open, r, edit.row, fresh);
    for (const Cell& c : edit.cells) {
      const std::string held = CellText(FieldText(fresh.pages, *c.edit.field));
      if (held == c.edit.text) continue;
      found.push_back("line " + std::to_string(c.line) + ", column " + std::to_string(c.column) + ": " +
                      c.edit.field->label + ": \"" + Utf8(c.edit.text) + "\" is stored as \"" + Utf8(held) + "\"");
    }
  }
  return found;
}

int CommandImport(const std::string& file, const std::string& in_path, bool backup, bool strict) {
  const Roster r = List(file);
  std::ifstream in(in_path, std::ios::binary);
  if (!in) throw Refused{in_path + ": cannot be read"};
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  std::vector<CsvRow> rows;
  CsvError error;
  auto at = [&](int line, int column, const std::string& what) {
    return Refused{in_path + ": line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what +
                   "; nothing was written"};
  };
  if (!ParseCsv(text, rows, error)) throw at(error.line, error.column, error.what);
  if (rows.empty() || rows[0].fields.empty() || rows[0].fields[0] != kPositionColumn) {
    throw at(1, 1, std::string("the header must start with ") + kPositionColumn);
  }
  std::vector<const Field*> columns{nullptr};
  for (std::size_t c = 1; c < rows[0].fields.size(); ++c) {
    const Field* f = FindField(rows[0].fields[c]);
    if (!f) throw at(1, static_cast<int>(c + 1), "no field is labelled \"" + rows[0].fields[c] + "\"");
    columns.push_back(f);
  }
  std::map<std::string, std::size_t> by_position;
  for (std::size_t i = 0; i < r.rows.size(); ++i) by_position.emplace(Position(r.rows[i]), i);

  // One pass: each row is checked and its player written into one transaction,
  // which is committed only when every row is sound (a refused row abandons
  // it, and nothing is written). A player named twice is loaded with the
  // first row's changes.
  std::vector<RowEdit> plan;
  OpenView open(file);
  RosterTransaction transaction(open.view());
  for (std::size_t n = 1; n < rows.size(); ++n) {
    const CsvRow& row = rows[n];
    if (row.fields.size() != columns.size()) {
      throw at(row.line, static_cast<int>(std::min(row.fields.size(), columns.size()) + 1),
               "the row has " + std::to_string(row.fields.size()) + " fields, the header " + std::to_string(columns.size()));
    }
    const auto player = by_position.find(row.fields[0]);
    if (player == by_position.end()) throw at(row.line, 1, "no listed player has record position " + row.fields[0]);
    Loaded loaded;
    Load(open, r, player->second, loaded);
    RowEdit edit{player->second, {}};
    for (std::size_t c = 1; c < columns.size(); ++c) {
      std::string value;
      if (!Latin1(row.fields[c], value)) throw at(row.line, static_cast<int>(c + 1), "a character above U+00FF");
      if (value == CellText(FieldText(loaded.pages, *columns[c]))) continue;  // unchanged cells write nothing
      std::string why;
      if (!PutFieldText(loaded.pages, *columns[c], value, why)) {
        throw at(row.line, static_cast<int>(c + 1), columns[c]->label + ": \"" + row.fields[c] + "\" refused: " + why);
      }
      edit.cells.push_back({{columns[c], value}, row.line, static_cast<int>(c + 1)});
    }
    if (edit.cells.empty()) continue;
    WritePlayer(open.view(), loaded.pages, loaded.player);
    plan.push_back(std::move(edit));
  }
  if (plan.empty()) {
    std::printf("0 players changed\n");
    return 0;
  }
  const std::vector<std::string> not_as_typed = NotAsTyped(open, r, plan);
  if (strict) RefuseUnlessAsTyped(file, not_as_typed);
  if (backup) Backup(file);
  const CommitResult committed = transaction.Commit();
  if (!committed.ok) throw Refused{file + ": nothing was imported: " + committed.reason};
  std::printf("%zu players changed\n", plan.size());
  for (const std::string& n : not_as_typed) std::printf("not as typed: %s\n", n.c_str());
  return 0;
}

int CommandDiff(const std::string& a, const std::string& b) {
  const Roster ra = List(a), rb = List(b);
  OpenView va(a), vb(b);
  std::map<std::string, std::size_t> in_b;
  for (std::size_t i = 0; i < rb.rows.size(); ++i) in_b.emplace(Position(rb.rows[i]), i);
  std::set<std::string> seen;
  int differing = 0;
  for (std::size_t i = 0; i < ra.rows.size(); ++i) {
    const std::string pos = Position(ra.rows[i]);
    seen.insert(pos);
    const auto j = in_b.find(pos);
    const std::string who = "@" + pos + " " + CellText(ra.rows[i].first_name) + " " + CellText(ra.rows[i].last_name);
    if (j == in_b.end()) {
      std::printf("%s: only in %s\n", who.c_str(), a.c_str());
      ++differing;
      continue;
    }
    Loaded la, lb;
    Load(va, ra, i, la);
    Load(vb, rb, j->second, lb);
    bool any = false;
    for (const Field& f : Fields()) {
      const std::string ta = CellText(FieldText(la.pages, f)), tb = CellText(FieldText(lb.pages, f));
      if (ta == tb) continue;
      std::printf("%s: %s: \"%s\" -> \"%s\"\n", who.c_str(), f.label.c_str(), ta.c_str(), tb.c_str());
      any = true;
    }
    differing += any;
  }
  for (const PlayerEntry& row : rb.rows) {
    if (!seen.count(Position(row))) {
      std::printf("@%s %s %s: only in %s\n", Position(row).c_str(), CellText(row.first_name).c_str(),
                  CellText(row.last_name).c_str(), b.c_str());
      ++differing;
    }
  }
  std::printf("%d players differ\n", differing);
  return 0;
}

int CommandCheck(const std::string& file, bool fix) {
  const Roster r = List(file, true);
  const std::vector<std::uint8_t> bytes = ReadAll(file);
  bool sound = true;
  // A journal that does not match stays, and nothing is written beside it.
  const bool journal_stays = r.recovery.what == Recovery::Mismatch || r.recovery.what == Recovery::Failed;
  if (journal_stays) {
    std::printf("problem: %s\n", r.recovery.message.c_str());
    sound = false;
    fix = false;
  }
  if (bytes.size() < 4) {
    std::printf("checksum: none (the file has %zu bytes)\n", bytes.size());
    sound = false;
  } else {
    const std::uint32_t stored = static_cast<std::uint32_t>(bytes[0]) | bytes[1] << 8 | bytes[2] << 16 |
                                 static_cast<std::uint32_t>(bytes[3]) << 24;
    const std::uint32_t computed = Crc32(bytes.data() + 4, bytes.size() - 4, 0);
    std::printf("checksum: stored %08X, computed %08X%s\n", stored, computed, stored == computed ? "" : " (wrong)");
    if (stored != computed) {
      if (fix) {
        OpenView open(file);
        const CommitResult committed = RosterTransaction(open.view()).Commit();
        if (!committed.ok) throw Refused{file + ": the checksum was not written: " + committed.reason};
        std::printf("checksum: rewritten\n");
      } else {
        sound = false;
      }
    }
  }
  const ListReport& rep = r.report;
  std::printf("players: %zu listed (the header says %u)\n", r.rows.size(), rep.stored_count);
  auto problem = [&sound](std::uint32_t n, const char* what) {
    if (n == 0) return;
    std::printf("problem: %u %s\n", n, what);
    sound = false;
  };
  if (rep.no_header) problem(1, "roster header missing (the file is too short)");
  problem(rep.dropped_players, "listed players beyond 32767 or outside the file");
  problem(rep.names_outside, "name references outside the file");
  problem(rep.names_unterminated, "names not closed before the end of the file");
  problem(rep.names_cut, "names longer than the longest shown");
  std::printf("%s\n", sound ? "sound" : "not sound");
  return sound ? 0 : 1;
}

}  // namespace
}  // namespace rostrel::cli

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
