// rostrel-cli import: a CSV of the export's shape applied as one write.
#include "cli/commands.h"

#include <cstdio>
#include <fstream>
#include <map>

#include "cli/common.h"
#include "cli/csv.h"
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

// The CSV's rows and the field each column names (column 0 holds the record position).
struct Sheet {
  std::vector<CsvRow> rows;
  std::vector<const Field*> columns{nullptr};
};

Sheet ReadSheet(const CsvPlace& at) {
  std::ifstream in(at.path, std::ios::binary);
  if (!in) throw Refused{at.path + ": cannot be read"};
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  Sheet sheet;
  CsvError error;
  if (!ParseCsv(text, sheet.rows, error)) throw at(error.line, error.column, error.what);
  const std::vector<CsvRow>& rows = sheet.rows;
  if (rows.empty() || rows[0].fields.empty() || rows[0].fields[0] != kRecordColumn) {
    throw at(1, 1, std::string("the header must start with ") + kRecordColumn);
  }
  for (std::size_t c = 1; c < rows[0].fields.size(); ++c) {
    const Field* f = FindField(rows[0].fields[c]);
    if (!f) throw at(1, static_cast<int>(c + 1), "no field is labelled \"" + rows[0].fields[c] + "\"");
    sheet.columns.push_back(f);
  }
  return sheet;
}

// Types one CSV row's changed cells into its player's loaded pages, checking each.
RowEdit TypeRow(const CsvRow& row, const std::vector<const Field*>& columns, std::size_t player, Loaded& loaded,
                const CsvPlace& at) {
  RowEdit edit{player, {}};
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
  return edit;
}

}  // namespace

int CommandImport(const std::string& file, const std::string& in_path, bool backup, bool strict) {
  const Roster r = List(file);
  const CsvPlace at{in_path};
  const Sheet sheet = ReadSheet(at);
  const std::vector<const Field*>& columns = sheet.columns;
  std::map<std::string, std::size_t> by_position;
  for (std::size_t i = 0; i < r.rows.size(); ++i) by_position.emplace(Position(r.rows[i]), i);

  // One pass: each row is checked and its player written into one transaction,
  // which is committed only when every row is sound (a refused row abandons
  // it, and nothing is written). A player named twice is loaded with the
  // first row's changes.
  std::vector<RowEdit> plan;
  OpenView open(file);
  RosterTransaction transaction(open.view());
  for (std::size_t n = 1; n < sheet.rows.size(); ++n) {
    const CsvRow& row = sheet.rows[n];
    if (row.fields.size() != columns.size()) {
      throw at(row.line, static_cast<int>(std::min(row.fields.size(), columns.size()) + 1),
               "the row has " + std::to_string(row.fields.size()) + " fields, the header " + std::to_string(columns.size()));
    }
    const auto player = by_position.find(row.fields[0]);
    if (player == by_position.end()) throw at(row.line, 1, "no listed player has record position " + row.fields[0]);
    Loaded loaded;
    Load(open, r, player->second, loaded);
    RowEdit edit = TypeRow(row, columns, player->second, loaded, at);
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

}  // namespace rostrel::cli
