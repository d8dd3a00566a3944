// rostrel-cli history, undo and redo: the writes kept beside the roster, one
// line each or one write field by field, and undo and redo of whole writes.
#include "cli/commands.h"

#include <nlohmann/json.hpp>

#include "cli/common.h"
#include "player/csv.h"
#include "pages/form_table.h"
#include "player/field_catalog.h"
#include "player/write_history.h"

namespace rostrel::cli {

using nlohmann::ordered_json;

namespace {

// Says on standard error what is wrong with the history, if anything.
void SayProblem(const std::string& file, const std::string& problem) {
  if (!problem.empty()) PrintError("rostrel-cli: " + HistoryPathFor(file) + ": " + problem + "\n");
}

void SayNote(const std::string& note) {
  if (!note.empty()) PrintError("rostrel-cli: " + note + "\n");
}

std::uint64_t LimitBytes(double megabytes) {
  if (!(megabytes > 0)) throw Refused{"--history-limit takes a size in MB above 0"};
  return static_cast<std::uint64_t>(megabytes * 1024 * 1024);
}

int ShowEntry(const std::string& file, const HistoryFile& history, std::uint32_t number) {
  const HistoryEntry* e = nullptr;
  for (const HistoryEntry& entry : history.entries) {
    if (entry.number == number) e = &entry;
  }
  if (!e) throw Refused{HistoryPathFor(file) + ": no write " + std::to_string(number) + " is in the history"};
  OpenView open(file);
  const PendingWrites before = Overlay(e->ranges, false), after = Overlay(e->ranges, true);
  std::string text = std::to_string(e->number) + "  " + WriteTime(e->time) + "  " + e->what + "\n";
  for (const std::string& line : DescribeChanges(open.view(), e->players, &before, &after, PageLabel)) {
    text += Utf8(line) + "\n";
  }
  Print(text);
  return 0;
}

}  // namespace

int CommandHistory(const std::string& file, std::optional<std::uint32_t> number, const std::string& format) {
  const Roster r = List(file);
  const HistoryFile history = ReadHistory(file, GetFileSizeByName(file).value_or(0));
  SayProblem(file, history.problem);
  if (history.status == HistoryStatus::Missing) PrintError("rostrel-cli: " + file + " has no history of writes yet\n");
  if (number) return ShowEntry(file, history, *number);
  const HistoryState state = ReplayHistory(history);
  if (format == "json") {
    ordered_json writes = ordered_json::array();
    for (const HistoryEntry& e : history.entries) {
      ordered_json w;
      w["number"] = e.number;
      w["time"] = WriteTime(e.time);
      w["what"] = e.what;
      ordered_json players = ordered_json::array();
      for (const HistoryPlayer& p : e.players) {
        players.push_back({{"position", p.position}, {"first", Utf8(p.first_name)}, {"last", Utf8(p.last_name)}});
      }
      w["players"] = players;
      w["fields"] = e.field_count;
      w["undone"] = state.IsUndone(e.number);
      writes.push_back(w);
    }
    Print(writes.dump(2) + "\n");
  } else if (format == "csv") {
    std::string csv = CsvLine({"number", "time", "what", "players", "fields", "undone"});
    for (const HistoryEntry& e : history.entries) {
      csv += CsvLine({std::to_string(e.number), WriteTime(e.time), e.what, Utf8(PlayersText(e.players)),
                      std::to_string(e.field_count), state.IsUndone(e.number) ? "undone" : ""});
    }
    Print(csv);
  } else {
    std::string table;
    for (const HistoryEntry& e : history.entries) {
      table += std::to_string(e.number) + "  " + WriteTime(e.time) + "  " + e.what + "  " + Utf8(PlayersText(e.players)) + "  " +
               std::to_string(e.field_count) + (e.field_count == 1 ? " field" : " fields") +
               (state.IsUndone(e.number) ? "  undone" : "") + "\n";
    }
    Print(table);
  }
  return 0;
}

int CommandUndo(const std::string& file, bool redo, std::optional<std::uint32_t> down_to, bool dry_run, double limit_mb) {
  const Roster r = List(file);
  UndoRequest request;
  request.kind = redo ? UndoKind::Redo : UndoKind::Undo;
  request.down_to = down_to;
  request.dry_run = dry_run;
  request.limit = LimitBytes(limit_mb);
  OpenView open(file);
  const UndoOutcome out = RunUndo(open.view(), r.rows, request, PageLabel);
  SayProblem(file, out.history_problem);
  if (!out.done) throw Refused{file + ": " + out.refusal};
  std::string text = std::string(dry_run ? "would " : "") + out.note.what + ": " + std::to_string(out.note.players.size()) +
                     (out.note.players.size() == 1 ? " player, " : " players, ") + std::to_string(out.note.field_count) +
                     (out.note.field_count == 1 ? " field\n" : " fields\n");
  for (const std::string& line : out.changes) text += Utf8(line) + "\n";
  Print(text);
  SayNote(out.committed.history_note);
  return 0;
}

std::optional<HistoryKeeping> HistoryFor(const std::string& what, bool no_history, double limit_mb) {
  if (no_history) return std::nullopt;
  return HistoryKeeping{what, LimitBytes(limit_mb)};
}

}  // namespace rostrel::cli
