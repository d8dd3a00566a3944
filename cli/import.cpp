// rostrel-cli import: a CSV of the export's shape applied as one write.
#include "cli/commands.h"

#include <cstdio>
#include <map>
#include <memory>

#include "cli/common.h"
#include "player/write_history.h"
#include "player/csv.h"
#include "player/names.h"
#include "roster/transaction.h"

namespace rostrel::cli {

namespace {

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
      if (ShowsAsTyped(*c.edit.field, c.edit.text, held)) continue;
      found.push_back("line " + std::to_string(c.line) + ", column " + std::to_string(c.column) + ": " +
                      c.edit.field->label + ": \"" + Utf8(c.edit.text) + "\" is stored as \"" + Utf8(held) + "\"");
    }
  }
  return found;
}

// A refusal that points into the CSV.
struct CsvPlace {
  const std::string& path;
  Refused operator()(int line, int column, const std::string& what) const {
    return Refused{path + ": line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what +
                   "; nothing was written"};
  }
};

// The sheet read one row at a time, and the field each column names (column 0
// holds the record position). The reader reads the text in place: filled
// where it stays.
struct Sheet {
  std::string text;  // the whole sheet as UTF-8
  char separator = ',';
  std::vector<const Field*> columns{nullptr};
  std::unique_ptr<CsvReader> reader;
};

void ReadSheet(const CsvPlace& at, Sheet& sheet) {
  std::unique_ptr<CsvReader>& reader = sheet.reader;
  std::string read_as, why;
  if (!DecodeSheet(ReadText(at.path), sheet.text, read_as, why)) throw Refused{at.path + ": " + why + "; nothing was written"};
  if (!read_as.empty()) PrintError("rostrel-cli: " + at.path + ": " + read_as + "\n");
  sheet.separator = DetectSeparator(sheet.text);
  reader = std::make_unique<CsvReader>(sheet.text, sheet.separator);
  CsvRow header;
  CsvError error;
  if (!reader->Next(header, error)) {
    if (!error.what.empty()) throw at(error.line, error.column, error.what);
    header.fields.clear();
  }
  if (header.fields.empty() || header.fields[0] != kRecordColumn) {
    throw at(1, 1, std::string("the header must start with ") + kRecordColumn);
  }
  for (std::size_t c = 1; c < header.fields.size(); ++c) {
    const Field* f = FindField(header.fields[c]);
    if (!f) throw at(1, static_cast<int>(c + 1), "no field is labelled \"" + header.fields[c] + "\"");
    sheet.columns.push_back(f);
  }
}

// Types one CSV row's changed cells into its player's loaded pages, checking each.
RowEdit TypeRow(const CsvRow& row, const Sheet& sheet, std::size_t player, Loaded& loaded, const CsvPlace& at) {
  const std::vector<const Field*>& columns = sheet.columns;
  RowEdit edit{player, {}};
  for (std::size_t c = 1; c < columns.size(); ++c) {
    std::string value;
    if (!Latin1(SheetCellValue(row.fields[c], *columns[c], sheet.separator), value)) {
      throw at(row.line, static_cast<int>(c + 1), "a character above U+00FF, which no field can hold");
    }
    // A cell that shows what the box shows writes nothing, in whatever form a
    // spreadsheet gave it back (12.5 for 12.500): the stored value stays.
    if (ShowsAsTyped(*columns[c], value, CellText(FieldText(loaded.pages, *columns[c])))) continue;
    std::string why;
    if (!PutFieldText(loaded.pages, *columns[c], value, why)) {
      throw at(row.line, static_cast<int>(c + 1), columns[c]->label + ": \"" + row.fields[c] + "\" refused: " + why);
    }
    edit.cells.push_back({{columns[c], value}, row.line, static_cast<int>(c + 1)});
  }
  return edit;
}

}  // namespace

int CommandImport(const std::string& file, const std::string& in_path, bool backup, bool accept_stored,
                  const std::optional<HistoryKeeping>& history) {
  const Roster r = List(file);
  const CsvPlace at{in_path};
  Sheet sheet;
  ReadSheet(at, sheet);
  CsvReader& reader = *sheet.reader;
  const std::vector<const Field*>& columns = sheet.columns;
  std::map<std::uint32_t, std::size_t> by_position;
  for (std::size_t i = 0; i < r.rows.size(); ++i) by_position.emplace(r.rows[i].position, i);

  // One pass over the rows, read one at a time: each is checked and its player
  // written into one transaction, which is committed only when every row is
  // sound (a refused row abandons it, and nothing is written). A player named
  // twice is loaded with the first row's changes.
  std::vector<RowEdit> plan;
  OpenView open(file);
  RosterTransaction transaction(open.view());
  CsvRow row;
  CsvError error;
  while (reader.Next(row, error)) {
    if (row.fields.size() != columns.size()) {
      throw at(row.line, static_cast<int>(std::min(row.fields.size(), columns.size()) + 1),
               "the row has " + std::to_string(row.fields.size()) + " fields, the header " + std::to_string(columns.size()));
    }
    const std::string& record = row.fields[0];
    const auto player = record.empty() || record.size() > 10 || record.find_first_not_of("0123456789") != std::string::npos
                            ? by_position.end()
                            : by_position.find(static_cast<std::uint32_t>(std::stoull(record)));
    if (player == by_position.end()) throw at(row.line, 1, "no listed player has record position " + record);
    Loaded loaded;
    Load(open, r, player->second, loaded);
    RowEdit edit = TypeRow(row, sheet, player->second, loaded, at);
    if (edit.cells.empty()) continue;
    WritePlayer(open.view(), loaded.pages, loaded.player);
    plan.push_back(std::move(edit));
  }
  if (!error.what.empty()) throw at(error.line, error.column, error.what);
  if (plan.empty()) {
    Print("0 players changed\n");
    return 0;
  }
  const std::vector<std::string> not_as_typed = NotAsTyped(open, r, plan);
  if (!accept_stored && !not_as_typed.empty()) {
    std::string message = file + ": nothing was imported: these cells would not read back as typed "
                                 "(--accept-stored applies them as the file would hold them):";
    for (const std::string& n : not_as_typed) message += "\n  " + n;
    throw Refused{message};
  }
  if (backup) Backup(file);
  if (history) {
    std::vector<std::uint32_t> positions;
    std::uint32_t cells = 0;
    for (const RowEdit& e : plan) {
      positions.push_back(r.rows[e.row].position);
      cells += static_cast<std::uint32_t>(e.cells.size());
    }
    transaction.KeepHistory(NoteForWrite(open.view(), history->what + " " + Utf8Path(PathOf(in_path).filename()),
                                         positions, history->limit, cells));
  }
  const CommitResult committed = transaction.Commit();
  if (!committed.ok) throw Refused{file + ": nothing was imported: " + committed.reason};
  if (!committed.history_note.empty()) PrintError("rostrel-cli: " + committed.history_note + "\n");
  Print(std::to_string(plan.size()) + " players changed\n");
  for (const std::string& n : not_as_typed) Print("stored, not as typed: " + n + "\n");
  return 0;
}

}  // namespace rostrel::cli
