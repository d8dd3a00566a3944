// Rosters through spreadsheets and terminals: a sheet saved in any encoding,
// separator and locale a user's tools produce imports without a change, and
// accented names travel to the terminal and back from the command line.
#include <random>

#include "tests/cli_run.h"

namespace rostrel {
namespace {

// UTF-8 text of code points below U+0100 as those code points.
std::u32string CodePoints(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    out += c < 0x80 ? c : static_cast<char32_t>(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
  }
  return out;
}

// A sheet as a spreadsheet program saves it.
struct Saving {
  const char* name;
  char separator;
  enum { Utf8, Utf8Mark, Utf16Le, Utf16Be, CodePage } encoding;
  const char* line_end;
  bool quote_all, decimal_comma, formulas_as_values;
};

std::string Save(const std::vector<CsvRow>& rows, const Saving& s) {
  std::string text;
  for (const CsvRow& row : rows) {
    CsvRecord fields = row.fields;
    for (std::string& f : fields) {
      if (s.formulas_as_values && f == "=\"00\"") f = "00";
      const std::size_t point = f.find('.');
      if (s.decimal_comma && point != std::string::npos && f.find_first_not_of("-0123456789.") == std::string::npos) {
        f[point] = ',';
      }
    }
    std::string line = CsvLine(fields, s.line_end, s.separator);
    if (s.quote_all) {
      line.clear();
      for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string quoted;
        for (char c : fields[i]) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        line += (i ? std::string(1, s.separator) : "") + "\"" + quoted + "\"";
      }
      line += s.line_end;
    }
    text += line;
  }
  if (text.ends_with("\n") && s.encoding == Saving::Utf8) text.resize(text.size() - (text.ends_with("\r\n") ? 2 : 1));
  std::string bytes = s.encoding == Saving::Utf8Mark ? std::string(kUtf8Mark) : "";
  if (s.encoding == Saving::Utf16Le) bytes = "\xFF\xFE";
  if (s.encoding == Saving::Utf16Be) bytes = "\xFE\xFF";
  for (char32_t c : CodePoints(text)) {
    if (s.encoding == Saving::Utf16Le) bytes += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    else if (s.encoding == Saving::Utf16Be) bytes += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    else if (s.encoding == Saving::CodePage) bytes += static_cast<char>(c);
  }
  return s.encoding == Saving::Utf8 || s.encoding == Saving::Utf8Mark ? bytes + text : bytes;
}

constexpr Saving kSavings[] = {
    {"UTF-8, LF, no last line end", ',', Saving::Utf8, "\n", false, false, true},
    {"CSV UTF-8", ',', Saving::Utf8Mark, "\r\n", false, false, false},
    {"Unicode text", '\t', Saving::Utf16Le, "\r\n", true, true, true},
    {"UTF-16 big-endian, semicolons", ';', Saving::Utf16Be, "\n", false, true, false},
    {"Windows code page, semicolons", ';', Saving::CodePage, "\r\n", false, true, true},
};

// Generated rosters with accented names, a jersey 00 and salaries with
// decimals: exported, saved every way, imported: not a byte changes.
TEST_F(Cli, SheetsSavedEveryWayImportWithoutAChange) {
  const std::u16string names[] = {u"Jos\u00e9", u"Calder\u00f3n", u"Gin\u00f3bili", u"Nen\u00ea", u"Hil\u00e1rio",
                                  u"\u00d8ster", u"Ann", u"O'Neal", u"Smith, Jr."};
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    std::mt19937 random(seed);
    RosterBuilder builder;
    for (int i = 0; i < 12; ++i) builder.Add(names[random() % 9], names[random() % 9]);
    for (std::size_t i = 0; i < 12; ++i) {
      auto& r = builder.Record(i);
      const std::uint32_t number = random() % 3 == 0 ? 100 : random() % 512;
      r[48] = static_cast<std::uint8_t>((r[48] & 0x7F) | (number << 7)), r[49] = static_cast<std::uint8_t>(number >> 1);
      for (int k = 0; k < 4; ++k) r[340 + k] = static_cast<std::uint8_t>(random());
    }
    const Bytes roster = builder.Build().bytes;
    test::WriteFileBytes(path_, roster);
    const std::string exported = dir_.File("export.csv"), sheet = dir_.File("sheet.csv");
    ASSERT_EQ(Run("export " + Q(path_) + " --csv " + Q(exported)).code, 0);
    std::string text = Slurp(exported);
    ASSERT_TRUE(text.starts_with(kUtf8Mark));
    ASSERT_NE(text.find("=\"\"00\"\""), std::string::npos) << "a jersey 00 is written as a text formula";
    ASSERT_EQ(Run("export " + Q(path_) + " --csv " + Q(sheet) + " --plain").code, 0);
    ASSERT_EQ(Slurp(sheet).find('\r'), std::string::npos);
    std::vector<CsvRow> rows;
    CsvError error;
    ASSERT_TRUE(ParseCsv(text.substr(kUtf8Mark.size()), rows, error));
    for (const Saving& saving : kSavings) {
      std::ofstream(sheet, std::ios::binary) << Save(rows, saving);
      const Outcome imported = Run("import " + Q(path_) + " --csv " + Q(sheet));
      EXPECT_EQ(imported.code, 0) << saving.name << ": " << imported.err;
      EXPECT_EQ(imported.out, "0 players changed\n") << saving.name;
      EXPECT_EQ(imported.err.empty(), saving.encoding != Saving::CodePage) << saving.name << ": " << imported.err;
      ASSERT_EQ(ReadFileBytes(path_), roster) << saving.name << ", seed " << seed;
    }
  }
}

// Sheets a real spreadsheet program saved (tools/make_sheet_fixtures.sh): each
// imports into its roster without changing a byte. The German one read the
// salaries' decimal points as thousands separators: refused, every such cell
// named.
TEST_F(Cli, SheetsLibreOfficeSavedImportWithoutAChange) {
  const std::string fixtures = ROSTREL_SHEETS_DIR;
  const Bytes roster = ReadFileBytes(fixtures + "/Roster.ROS");
  for (const char* sheet : {"CodePage.csv", "Utf8Mark.csv", "UnicodeText.txt", "German.csv"}) {
    test::WriteFileBytes(path_, roster);
    const Outcome imported = Run("import " + Q(path_) + " --csv " + Q(fixtures + "/" + sheet));
    EXPECT_EQ(ReadFileBytes(path_), roster) << sheet;
    if (std::string(sheet) == "German.csv") {
      EXPECT_EQ(imported.code, 1);
      EXPECT_NE(imported.err.find("line 2, column 24: Year 1: \"12500\" is stored as \"3910.065\""), std::string::npos)
          << imported.err;
      std::size_t named = 0;
      for (std::size_t at = 0; (at = imported.err.find(" is stored as ", at)) != std::string::npos; ++at) ++named;
      EXPECT_EQ(named, 20u) << imported.err;  // four contract years of five players
      continue;
    }
    EXPECT_EQ(imported.code, 0) << sheet << ": " << imported.err;
    EXPECT_EQ(imported.out, "0 players changed\n") << sheet;
    EXPECT_EQ(imported.err.find("code page 1252") != std::string::npos, std::string(sheet) == "CodePage.csv") << imported.err;
  }
}

// Names on the terminal are UTF-8, and a player is found by an accented name.
TEST_F(Cli, AccentedNamesOnTheTerminalAndTheCommandLine) {
  test::WriteFileBytes(path_, RosterBuilder().Add(u"Jos\u00e9", u"Calder\u00f3n").Add(U16("Manu"), U16("Ginobili")).Build().bytes);
  EXPECT_NE(Run("list " + Q(path_)).out.find("Jos\u00e9                 Calder\u00f3n"), std::string::npos);
  const Outcome shown = Run("show " + Q(path_) + " 'jos\u00c9 calder\u00f3n'");
  EXPECT_EQ(shown.code, 0) << shown.err;
  EXPECT_NE(shown.out.find("FirstName            Jos\u00e9\n"), std::string::npos) << shown.out;
  const Outcome set = Run("set " + Q(path_) + " 2 FirstName=M\u00e1nu");
  EXPECT_EQ(set.out, "FirstName: \"Manu\" -> \"M\u00e1nu\"\n");
  EXPECT_NE(Run("diff " + Q(path_) + " " + Q(path_)).out.find("0 players differ"), std::string::npos);
  const Bytes before = ReadFileBytes(path_);
  for (const std::string& refused : {"show " + Q(path_) + " '\u03a9mega Calder\u00f3n'", "set " + Q(path_) + " 1 FirstName=\u20ac"}) {
    const Outcome r = Run(refused);
    EXPECT_EQ(r.code, 1) << refused;
    EXPECT_NE(r.err.find("a character above U+00FF"), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadFileBytes(path_), before);
}

}  // namespace
}  // namespace rostrel
