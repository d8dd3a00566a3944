// rostrel-cli list: every player in file order, as a table, CSV or JSON.
#include "cli/commands.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <iostream>

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

}  // namespace rostrel::cli
