// CSV as RFC 4180 has it, and as spreadsheets write it: fields separated by
// commas (or, from other locales and "Unicode text", semicolons or tabs),
// records by CRLF or a bare LF, a field quoted when it holds a separator, a
// quote or a line break, a quote inside written twice. The bytes may be UTF-8
// with or without a byte-order mark, UTF-16 with its mark, or the Windows code
// page 1252.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "player/field_catalog.h"

namespace rostrel {

using CsvRecord = std::vector<std::string>;

// One record, its line end included: CRLF, or LF alone.
std::string CsvLine(const CsvRecord& fields, std::string_view line_end = "\r\n", char separator = ',');

struct CsvError {
  int line = 0;    // 1-based line of the text where the problem is
  int column = 0;  // 1-based field number within its record
  std::string what;
};

// Each record also notes the line it starts on.
struct CsvRow {
  int line;
  CsvRecord fields;
};

// Reads records one at a time from UTF-8 text, which must outlive the reader.
class CsvReader {
 public:
  // Loose: a quote inside a field that does not start with one is a quote, as
  // spreadsheets put a cell such as 6' 10" on the clipboard.
  CsvReader(std::string_view text, char separator, bool loose = false)
      : text_(text), separator_(separator), loose_(loose) {}
  // The next record; false at the end, or with error set on malformed input.
  bool Next(CsvRow& row, CsvError& error);

 private:
  std::string_view text_;
  char separator_;
  bool loose_;
  std::size_t at_ = 0;
  int line_ = 1;
};

// Parses comma-separated text into records; false with the error's place on
// malformed input.
bool ParseCsv(std::string_view text, std::vector<CsvRow>& rows, CsvError& error);

// The separator of a sheet: the first comma, semicolon or tab of its first
// line outside quotes; a comma when there is none.
char DetectSeparator(std::string_view text);

// A sheet's bytes as UTF-8 text: a UTF-8 byte-order mark is dropped, UTF-16
// with its mark is converted, valid UTF-8 is taken as it is, and anything else
// is read as the Windows code page 1252 (read_as then says so). False, with
// why, for UTF-16 that is broken.
bool DecodeSheet(std::string bytes, std::string& text, std::string& read_as, std::string& why);

// A sheet's cell as the user meant it for field: a spreadsheet's text formula
// ="00" as 00, and, in a sheet separated by semicolons or tabs, a number's
// decimal comma as its point (12,5 is twelve and a half).
std::string SheetCellValue(std::string cell, const Field& field, char separator);

// The UTF-8 byte-order mark, which tells a spreadsheet that a CSV is UTF-8.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace rostrel
