#include "player/grid_sheet.h"

#include <algorithm>
#include <unordered_set>

#include "player/csv.h"
#include "player/names.h"

namespace rostrel {

namespace {

void AppendCell(std::string& line, const std::string& cell) {
  if (cell.find_first_of("\t\"\r\n") == std::string::npos) {
    line += cell;
    return;
  }
  line += '"';
  for (char c : cell) line += c == '"' ? std::string("\"\"") : std::string(1, c);
  line += '"';
}

// A header: the record position's label first, or labels only.
bool IsLabelRow(const std::vector<std::string>& cells) {
  if (SameLabel(cells[0], kRecordLabel)) return true;
  return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return FindField(c) != nullptr; });
}

class Planner {
 public:
  Planner(const RosterView& view, const PendingEdits& edits, PastePlan& plan) : view_(view), edits_(edits), plan_(plan) {}

  void Problem(std::string what) {
    if (plan_.problems.size() < 10) plan_.problems.push_back(std::move(what));
    else ++plan_.more;
  }

  // One cell: left alone when the player shows it already, else checked as his box takes it.
  void Cell(int line, std::uint32_t position, const Field& field, const std::string& raw) {
    const std::string text = SheetCellValue(raw, field, '\t');
    const std::string shown = edits_.Text(view_, position, field);
    if (ShowsAsTyped(field, text, shown)) return;
    const std::string where = "line " + std::to_string(line) + ", " + field.label + ": \"" + raw + "\"";
    if (!field.editable()) {
      Problem(where + ": " + field.label + " cannot be edited");
      return;
    }
    std::string why;
    if (!TypedFieldText(view_, position, field, text, why)) {
      Problem(where + " refused: " + why);
      return;
    }
    plan_.edits.push_back({position, &field, text});
  }

 private:
  const RosterView& view_;
  const PendingEdits& edits_;
  PastePlan& plan_;
};

}  // namespace

std::string CopiedCells(const RosterView& view, const PendingEdits& edits, const std::vector<std::uint32_t>& players,
                        const std::vector<const Field*>& columns) {
  std::string text = kRecordLabel;
  for (const Field* field : columns) AppendCell(text += '\t', field->label);
  text += "\r\n";
  for (std::uint32_t position : players) {
    text += std::to_string(position);
    for (const Field* field : columns) AppendCell(text += '\t', CellText(edits.Text(view, position, *field)));
    text += "\r\n";
  }
  return text;
}

PastePlan PlanPaste(const RosterView& view, const PendingEdits& edits, std::string_view text, const PasteTarget& target) {
  PastePlan plan;
  Planner planner(view, edits, plan);
  std::vector<CsvRow> rows;
  CsvReader reader(text, '\t', true);
  CsvRow row;
  CsvError error;
  while (reader.Next(row, error)) rows.push_back(row);
  if (!error.what.empty()) {
    planner.Problem("line " + std::to_string(error.line) + ": " + error.what);
    return plan;
  }
  // The line end after the last row gives no row of its own; nor do empty lines at the end.
  while (!rows.empty() && rows.back().fields.size() == 1 && rows.back().fields[0].empty()) rows.pop_back();
  if (rows.empty()) {
    planner.Problem("the clipboard holds no cells");
    return plan;
  }

  if (IsLabelRow(rows.front().fields)) {
    const std::vector<std::string>& header = rows.front().fields;
    const bool by_record = SameLabel(header[0], kRecordLabel);
    std::vector<const Field*> columns;
    for (std::size_t c = by_record ? 1 : 0; c < header.size(); ++c) {
      const Field* field = FindField(header[c]);
      if (!field) planner.Problem("line 1: no field is labelled \"" + header[c] + "\"");
      columns.push_back(field);
    }
    const std::size_t count = rows.size() - 1;
    if (!by_record && count != target.selected.size()) {
      planner.Problem("the block has " + std::to_string(count) + (count == 1 ? " row" : " rows") + " and " +
                      std::to_string(target.selected.size()) +
                      (target.selected.size() == 1 ? " player is selected" : " players are selected"));
    }
    if (!plan.ok()) return plan;
    const std::unordered_set<std::uint32_t> players(target.players.begin(), target.players.end());
    for (std::size_t r = 1; r < rows.size(); ++r) {
      const CsvRow& line = rows[r];
      if (line.fields.size() != header.size()) {
        planner.Problem("line " + std::to_string(line.line) + " has " + std::to_string(line.fields.size()) +
                        " cells, the header " + std::to_string(header.size()));
        continue;
      }
      std::uint32_t position = 0;
      if (by_record) {
        std::string record = line.fields[0];
        record.erase(0, record.find_first_not_of(' '));
        record.erase(record.find_last_not_of(' ') + 1);
        if (!record.empty() && record.size() <= 10 && record.find_first_not_of("0123456789") == std::string::npos) {
          position = static_cast<std::uint32_t>(std::min<std::uint64_t>(std::stoull(record), 0xFFFFFFFF));
        }
        if (!players.contains(position)) {
          planner.Problem("line " + std::to_string(line.line) + ": no listed player has record position " + record);
          continue;
        }
      } else {
        position = target.listed[target.selected[r - 1]];
      }
      for (std::size_t c = 0; c < columns.size(); ++c) {
        planner.Cell(line.line, position, *columns[c], line.fields[c + (by_record ? 1 : 0)]);
      }
    }
  } else {
    if (target.focus_row + rows.size() > target.listed.size()) {
      planner.Problem("the block has " + std::to_string(rows.size()) + " rows, and " +
                      std::to_string(target.listed.size() - std::min(target.focus_row, target.listed.size())) +
                      " are listed from the focused row on");
    }
    for (const CsvRow& line : rows) {
      if (target.focus_column + line.fields.size() > target.columns.size()) {
        planner.Problem("line " + std::to_string(line.line) + " has " + std::to_string(line.fields.size()) +
                        " cells, and " + std::to_string(target.columns.size() - std::min(target.focus_column, target.columns.size())) +
                        " columns are shown from the focused one on");
        break;
      }
    }
    if (!plan.ok()) return plan;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const std::uint32_t position = target.listed[target.focus_row + r];
      for (std::size_t c = 0; c < rows[r].fields.size(); ++c) {
        planner.Cell(rows[r].line, position, *target.columns[target.focus_column + c], rows[r].fields[c]);
      }
    }
  }
  if (!plan.ok()) plan.edits.clear();
  return plan;
}

}  // namespace rostrel
