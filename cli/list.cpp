// rostrel-cli list: every player in file order, as a table, CSV or JSON.
#include "cli/commands.h"

#include <nlohmann/json.hpp>


#include "cli/common.h"
#include "cli/csv.h"
#include "player/names.h"

namespace rostrel::cli {

using nlohmann::ordered_json;

int CommandList(const std::string& file, const std::string& format) {
  const Roster r = List(file);
  if (format == "json") {
    ordered_json players = ordered_json::array();
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
      ordered_json p;
      p["row"] = i + 1;
      p["position"] = r.rows[i].position;
      p["first"] = Utf8(CellText(r.rows[i].first_name));
      p["last"] = Utf8(CellText(r.rows[i].last_name));
      players.push_back(p);
    }
    Print(players.dump(2) + "\n");
  } else if (format == "csv") {
    std::string csv = CsvLine({"row", "position", "first", "last"});
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
      csv += CsvLine({std::to_string(i + 1), Position(r.rows[i]), Utf8(CellText(r.rows[i].first_name)),
                      Utf8(CellText(r.rows[i].last_name))});
    }
    Print(csv);
  } else {
    // Laid out in the names' own single bytes, so that each character takes one column.
    std::string table = Formatted("%6s  %10s  %-20s %s\n", "ROW", "POSITION", "FIRST", "LAST");
    for (std::size_t i = 0; i < r.rows.size(); ++i) {
      table += Formatted("%6zu  %10s  %-20s %s\n", i + 1, Position(r.rows[i]).c_str(), CellText(r.rows[i].first_name).c_str(),
                  CellText(r.rows[i].last_name).c_str());
    }
    Print(Utf8(table));
  }
  return 0;
}

}  // namespace rostrel::cli
