// rostrel-cli export: one CSV row per player, one column per field.
#include "cli/commands.h"

#include <fstream>

#include "cli/common.h"
#include "cli/csv.h"
#include "player/names.h"

namespace rostrel::cli {


int CommandExport(const std::string& file, const std::string& out_path) {
  const Roster r = List(file);
  OpenView open(file);
  std::ofstream out(out_path, std::ios::binary);
  if (!out) throw Refused{out_path + ": cannot be written"};
  CsvRecord header{kRecordColumn};
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

}  // namespace rostrel::cli
