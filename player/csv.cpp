#include "player/csv.h"

#include <cstdint>

namespace rostrel {

namespace {

void AppendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size() || (n == 2 && c < 0xC2) || (n == 4 && c > 0xF4)) return false;
    std::uint32_t code = c & (0xFF >> (n + 1));
    for (std::size_t k = 1; k < n; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      code = (code << 6) | (t & 0x3F);
    }
    if ((n == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) || (n == 4 && (code < 0x10000 || code > 0x10FFFF))) {
      return false;
    }
    i += n;
  }
  return true;
}

bool FromUtf16(std::string_view s, bool big_endian, std::string& out, std::string& why) {
  if (s.size() % 2) {
    why = "the file is UTF-16 but has an odd number of bytes";
    return false;
  }
  out.clear();
  out.reserve(s.size() / 2);
  auto unit = [&](std::size_t i) {
    const auto a = static_cast<unsigned char>(s[i]), b = static_cast<unsigned char>(s[i + 1]);
    return static_cast<std::uint32_t>(big_endian ? (a << 8) | b : (b << 8) | a);
  };
  for (std::size_t i = 0; i < s.size(); i += 2) {
    std::uint32_t c = unit(i);
    if (c >= 0xD800 && c <= 0xDBFF && i + 2 < s.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      why = "the file is UTF-16 but holds a broken surrogate pair";
      return false;
    }
    AppendUtf8(out, c);
  }
  return true;
}

// Windows code page 1252 from 0x80 to 0x9F; the rest is Latin-1. The five
// codes it leaves free stand for themselves, as Windows reads them.
constexpr std::uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string FromCp1252(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (unsigned char c : s) AppendUtf8(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
  return out;
}

}  // namespace

std::string CsvLine(const CsvRecord& fields, std::string_view line_end, char separator) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i) line += separator;
    const std::string& f = fields[i];
    if (f.find_first_of(",;\t\"\r\n") == std::string::npos) {
      line += f;
      continue;
    }
    line += '"';
    for (char c : f) line += c == '"' ? std::string("\"\"") : std::string(1, c);
    line += '"';
  }
  return line += line_end;
}

bool CsvReader::Next(CsvRow& row, CsvError& error) {
  const std::string_view text = text_;
  std::size_t i = at_;
  if (i >= text.size()) return false;
  row.line = line_;
  row.fields.clear();
  auto fail = [&](int line, const char* what) {
    error = {line, static_cast<int>(row.fields.size()) + 1, what};
    at_ = text.size();
    return false;
  };
  auto ends_field = [&](std::size_t k) { return text[k] == separator_ || text[k] == '\r' || text[k] == '\n'; };
  while (true) {
    std::string field;
    if (i < text.size() && text[i] == '"') {
      ++i;
      while (true) {
        if (i >= text.size()) return fail(row.line, "a quoted field is not closed");
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (text[i] == '\n') ++line_;
        field += text[i++];
      }
      if (i < text.size() && !ends_field(i)) return fail(line_, "text follows a closing quote");
    } else {
      while (i < text.size() && !ends_field(i)) {
        if (text[i] == '"' && !loose_) return fail(line_, "a quote inside an unquoted field");
        field += text[i++];
      }
    }
    row.fields.push_back(std::move(field));
    if (i < text.size() && text[i] == separator_) {
      ++i;
      continue;
    }
    break;
  }
  if (i < text.size() && text[i] == '\r') ++i;
  if (i < text.size() && text[i] == '\n') ++i;
  ++line_;
  at_ = i;
  return true;
}

bool ParseCsv(std::string_view text, std::vector<CsvRow>& rows, CsvError& error) {
  rows.clear();
  CsvReader reader(text, ',');
  CsvRow row;
  error = {};
  while (reader.Next(row, error)) rows.push_back(row);
  return error.what.empty();
}

char DetectSeparator(std::string_view text) {
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    else if (!quoted && (c == ',' || c == ';' || c == '\t')) return c;
    else if (!quoted && (c == '\r' || c == '\n')) break;
  }
  return ',';
}

bool DecodeSheet(std::string bytes, std::string& text, std::string& read_as, std::string& why) {
  const std::string_view b(bytes);
  read_as.clear();
  if (b.starts_with("\xFF\xFE")) return FromUtf16(b.substr(2), false, text, why);
  if (b.starts_with("\xFE\xFF")) return FromUtf16(b.substr(2), true, text, why);
  if (b.starts_with(kUtf8Mark)) bytes.erase(0, kUtf8Mark.size());
  if (IsUtf8(bytes)) {
    text = std::move(bytes);
    return true;
  }
  read_as = "the file is not UTF-8: it was read as the Windows code page 1252";
  text = FromCp1252(bytes);
  return true;
}

std::string SheetCellValue(std::string cell, const Field& field, char separator) {
  if (cell.size() >= 3 && cell.starts_with("=\"") && cell.back() == '"') cell = cell.substr(2, cell.size() - 3);
  const std::size_t comma = cell.find(',');
  if (separator != ',' && !field.is_name() && comma != std::string::npos && comma + 1 < cell.size() &&
      cell.find_first_not_of("+-0123456789,") == std::string::npos && cell.find_first_of("+-", 1) == std::string::npos &&
      cell.find(',', comma + 1) == std::string::npos) {
    cell[comma] = '.';
  }
  return cell;
}

}  // namespace rostrel
