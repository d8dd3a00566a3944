// rostrel-cli show: every field of one player as the pages show it.
#include "cli/commands.h"

#include <nlohmann/json.hpp>


#include "cli/common.h"
#include "player/names.h"

namespace rostrel::cli {

using nlohmann::ordered_json;

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
    shown["position"] = r.rows[row].position;
    shown["fields"] = fields;
    Print(shown.dump(2) + "\n");
    return 0;
  }
  std::string text = Formatted("row %zu, record position %s\n", row + 1, Position(r.rows[row]).c_str());
  for (const Field& f : Fields()) {
    text += Formatted("%-20s %s%s\n", f.label.c_str(), CellText(FieldText(loaded.pages, f)).c_str(),
                      f.editable() ? "" : "  (shown only)");
  }
  Print(Utf8(text));
  return 0;
}

}  // namespace rostrel::cli
