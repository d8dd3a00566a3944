// rostrel-cli export: one CSV row per player, one column per field.
#include "cli/commands.h"

#include <fstream>

#include "cli/common.h"
#include "player/csv.h"
#include "player/names.h"

namespace rostrel::cli {


namespace {

// A jersey number 00 as a text formula: a spreadsheet would make the number 0 of it.
std::string SheetCell(const Field& f, std::string text) {
  if (f.tab == kVitalsTab && f.id == vitals::kNumber && text == "00") return "=\"00\"";
  return text;
}

}  // namespace

int CommandExport(const std::string& file, const std::string& out_path, bool plain, const std::string& filter) {
  const Filter picked = FilterOption(filter);
  const Roster r = List(file);
  OpenView open(file);
  ListedFields fields(open.view(), r.rows);
  std::ofstream out(PathOf(out_path), std::ios::binary);
  if (!out) throw Refused{out_path + ": cannot be written"};
  const std::string_view line_end = plain ? "\n" : "\r\n";
  if (!plain) out << kUtf8Mark;
  CsvRecord header{kRecordColumn};
  for (const Field& f : Fields()) header.push_back(f.label);
  out << CsvLine(header, line_end);
  for (std::size_t row = 0; row < r.rows.size(); ++row) {
    if (!Matches(picked, fields, row)) continue;
    Loaded loaded;
    Load(open, r, row, loaded);
    CsvRecord record{Position(r.rows[row])};
    for (const Field& f : Fields()) record.push_back(SheetCell(f, Utf8(FieldText(loaded.pages, f))));
    out << CsvLine(record, line_end);
  }
  if (!out.flush()) throw Refused{out_path + ": cannot be written"};
  return 0;
}

}  // namespace rostrel::cli
