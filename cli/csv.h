// CSV as RFC 4180 has it: fields separated by commas, records by CRLF (a bare
// LF is accepted too), a field quoted when it holds a comma, a quote or a line
// break, a quote inside written twice.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace rostrel::cli {

using CsvRecord = std::vector<std::string>;

std::string CsvLine(const CsvRecord& fields);

struct CsvError {
  int line = 0;    // 1-based line of the text where the problem is
  int column = 0;  // 1-based field number within its record
  std::string what;
};

// Parses text into records; false with the error's place on malformed input.
// Each record also notes the line it starts on.
struct CsvRow {
  int line;
  CsvRecord fields;
};
bool ParseCsv(std::string_view text, std::vector<CsvRow>& rows, CsvError& error);

}  // namespace rostrel::cli
