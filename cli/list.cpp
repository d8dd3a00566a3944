// rostrel-cli list: the players as a table, CSV or JSON; in file order, or
// filtered and sorted by any fields, with any fields as columns.
#include "cli/commands.h"

#include <nlohmann/json.hpp>

#include "cli/common.h"
#include "player/csv.h"
#include "player/names.h"
#include "player/player_filter.h"

namespace rostrel::cli {

using nlohmann::ordered_json;

namespace {

std::vector<std::string> CommaList(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= text.size() && !text.empty()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    items.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return items;
}

const Field& Labelled(const std::string& label, const char* option) {
  const Field* f = FindField(label);
  if (!f) throw UsageError{std::string(option) + ": no field is labelled \"" + label + "\""};
  return *f;
}

}  // namespace

Filter FilterOption(const std::string& text) {
  std::string latin1;
  if (!Latin1(text, latin1)) throw UsageError{"--filter: a name holds no character above U+00FF"};
  const FilterParse parse = ParseFilter(latin1);
  if (!parse.ok()) throw UsageError{"--filter: " + Utf8(parse.error)};
  return parse.filter;
}

std::vector<std::size_t> ListedRows(ListedFields& fields, const ListQuery& query) {
  std::vector<std::size_t> order = FileOrder(fields.Count());
  // The first key decides, the next breaks its ties: stable sorts, last key first.
  const std::vector<std::string> keys = CommaList(query.sort);
  for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
    const bool down = !key->empty() && key->front() == '-';
    SortRows(order, fields, Labelled(down ? key->substr(1) : *key, "--sort"), down);
  }
  return FilterRows(FilterOption(query.filter), fields, order);
}

int CommandList(const std::string& file, const std::string& format, const ListQuery& query) {
  std::vector<const Field*> columns;
  for (const std::string& label : CommaList(query.columns)) columns.push_back(&Labelled(label, "--columns"));
  const Roster r = List(file);
  OpenView open(file);
  ListedFields fields(open.view(), r.rows);
  const std::vector<std::size_t> rows = ListedRows(fields, query);
  auto cells = [&](std::size_t i) {
    std::vector<std::string> texts{std::to_string(i + 1), Position(r.rows[i]), r.rows[i].first_name, r.rows[i].last_name};
    for (const Field* f : columns) texts.push_back(fields.Text(i, *f));
    return texts;
  };
  std::vector<std::string> header{"row", "position", "first", "last"};
  for (const Field* f : columns) header.push_back(f->label);
  if (format == "json") {
    ordered_json players = ordered_json::array();
    for (std::size_t i : rows) {
      const std::vector<std::string> texts = cells(i);
      ordered_json p;
      p["row"] = i + 1;
      p["position"] = r.rows[i].position;
      for (std::size_t k = 2; k < texts.size(); ++k) p[header[k]] = Utf8(texts[k]);
      players.push_back(p);
    }
    Print(players.dump(2) + "\n");
  } else if (format == "csv") {
    std::string csv = CsvLine(header);
    for (std::size_t i : rows) {
      std::vector<std::string> texts = cells(i);
      for (std::string& text : texts) text = Utf8(text);
      csv += CsvLine(texts);
    }
    Print(csv);
  } else {
    // Laid out in the names' own single bytes, so that each character takes one column.
    // The last name is padded only when columns follow it.
    const int last = columns.empty() ? 0 : 20;
    std::string table = Formatted("%6s  %10s  %-20s %-*s", "ROW", "POSITION", "FIRST", last, "LAST");
    std::vector<std::size_t> widths;
    for (std::size_t k = 0; k < columns.size(); ++k) {
      std::size_t width = columns[k]->label.size();
      for (std::size_t i : rows) width = std::max(width, fields.Text(i, *columns[k]).size());
      widths.push_back(width);
      table += Formatted(" %-*s", static_cast<int>(width), columns[k]->label.c_str());
    }
    table += "\n";
    for (std::size_t i : rows) {
      const std::vector<std::string> texts = cells(i);
      table += Formatted("%6s  %10s  %-20s %-*s", texts[0].c_str(), texts[1].c_str(), texts[2].c_str(), last,
                         texts[3].c_str());
      for (std::size_t k = 0; k < columns.size(); ++k) {
        table += Formatted(" %-*s", static_cast<int>(widths[k]), texts[4 + k].c_str());
      }
      table += "\n";
    }
    Print(Utf8(table));
  }
  return 0;
}

}  // namespace rostrel::cli
