#include "cli/csv.h"

namespace rostrel::cli {

std::string CsvLine(const CsvRecord& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    const std::string& f = fields[i];
    if (f.find_first_of(",\"\r\n") == std::string::npos) {
      line += f;
      continue;
    }
    line += '"';
    for (char c : f) line += c == '"' ? std::string("\"\"") : std::string(1, c);
    line += '"';
  }
  return line + "\r\n";
}

bool ParseCsv(std::string_view text, std::vector<CsvRow>& rows, CsvError& error) {
  rows.clear();
  std::size_t i = 0;
  int line = 1;
  while (i < text.size()) {
    CsvRow row{line, {}};
    while (true) {
      std::string field;
      if (i < text.size() && text[i] == '"') {
        ++i;
        while (true) {
          if (i >= text.size()) {
            error = {row.line, static_cast<int>(row.fields.size()) + 1, "a quoted field is not closed"};
            return false;
          }
          if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
              field += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          if (text[i] == '\n') ++line;
          field += text[i++];
        }
        if (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          error = {line, static_cast<int>(row.fields.size()) + 1, "text follows a closing quote"};
          return false;
        }
      } else {
        while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          if (text[i] == '"') {
            error = {line, static_cast<int>(row.fields.size()) + 1, "a quote inside an unquoted field"};
            return false;
          }
          field += text[i++];
        }
      }
      row.fields.push_back(std::move(field));
      if (i < text.size() && text[i] == ',') {
        ++i;
        continue;
      }
      break;
    }
    if (i < text.size() && text[i] == '\r') ++i;
    if (i < text.size() && text[i] == '\n') ++i;
    ++line;
    rows.push_back(std::move(row));
  }
  return true;
}

}  // namespace rostrel::cli
