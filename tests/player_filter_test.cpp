// The filter and the sort over generated rosters, against a plain reference
// that reads the players through the pages; the field texts read straight
// from the file against the pages a load fills.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <random>

#include "player/codecs.h"
#include "player/field_catalog.h"
#include "player/player_cycle.h"
#include "player/player_filter.h"
#include "roster_builder.h"

namespace rostrel {
namespace {

using test::Bytes;

// Names as stored (Latin-1, some with the fill a shortened save leaves) and
// as a word of the filter finds them.
struct PoolName {
  std::u16string stored;
  std::string plain;
};
const PoolName kPool[] = {{u"Jos\u00e9", "jose"},          {u"JOS\u00c9", "jose"},  {u"Smith", "smith"},
                          {u"JAM\u0014\u0014", "jam"},     {u"M\u00fcller", "muller"}, {u"\u00c5ke", "ake"},
                          {u"Ng", "ng"},                   {u"O'Neal", "o'neal"},   {u"De La Cruz", "de la cruz"}};

struct Generated {
  test::Built built;
  std::vector<int> first, last;  // pool entries
};

Generated Generate(std::mt19937& random, std::size_t players) {
  test::RosterBuilder builder;
  Generated g;
  for (std::size_t i = 0; i < players; ++i) {
    g.first.push_back(static_cast<int>(random() % std::size(kPool)));
    g.last.push_back(static_cast<int>(random() % std::size(kPool)));
    builder.Add(kPool[g.first.back()].stored, kPool[g.last.back()].stored);
    auto& r = builder.Record(i);
    for (std::size_t x = 8; x < r.size(); ++x) r[x] = static_cast<std::uint8_t>(random());
    auto put32 = [&r](std::size_t x, std::uint32_t v) {
      for (int k = 0; k < 4; ++k) r[x + k] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    // Plausible heights, weights and salaries, and few distinct values where ties matter.
    put32(40, std::bit_cast<std::uint32_t>(static_cast<float>((70 + random() % 20) * 2.54 + 0.3)));
    put32(36, std::bit_cast<std::uint32_t>(static_cast<float>(180 + random() % 8 * 10)));
    put32(340, static_cast<std::uint32_t>(random() % 20) * 500000);
    r[109] = static_cast<std::uint8_t>(random() % 7);  // 5: N/A, 6: no item
    r[436 + 19] = static_cast<std::uint8_t>(60 + random() % 8 * 5);  // Speed
  }
  g.built = builder.Build();
  return g;
}

// What the reference reads: each player's pages, and numbers parsed plainly.
struct Reference {
  std::vector<MemoryPages> pages;
  std::string Text(std::size_t row, const char* label) const { return FieldText(pages[row], *FindField(label)); }
  double Number(std::size_t row, const char* label) const {
    const std::string text = Text(row, label);
    int feet = 0, inches = 0;
    if (std::string(label) == "Height" && std::sscanf(text.c_str(), "%d' %d", &feet, &inches) == 2) return feet * 12 + inches;
    if (std::string(label) == "Position") {
      const auto items = PlayingPositionItems();
      const auto it = std::find(items.begin(), items.end(), text);
      return it == items.end() ? 0 : static_cast<double>(it - items.begin() + 1);
    }
    return std::strtod(text.c_str(), nullptr);
  }
};

// One generated term: its text and the rows it holds for.
struct Term {
  std::string text;
  std::function<bool(std::size_t)> holds;
};

Term RandomTerm(std::mt19937& random, const Reference& ref, const Generated& g) {
  const char* ops[] = {"<", "<=", ">", ">=", "=", "!="};
  const std::string op = ops[random() % 6];
  auto compare = [op](double a, double b) {
    return op == "<" ? a < b : op == "<=" ? a <= b : op == ">" ? a > b : op == ">=" ? a >= b : op == "=" ? a == b : a != b;
  };
  switch (random() % 5) {
    case 0: {  // a word of a name, in any case
      std::string word = kPool[random() % std::size(kPool)].plain;
      word = word.substr(random() % word.size() / 2, 1 + random() % 3);
      if (random() % 2) std::transform(word.begin(), word.end(), word.begin(), ::toupper);
      const bool spaced = word.find(' ') != std::string::npos;
      return {spaced ? "\"" + word + "\"" : word, [&g, word](std::size_t row) {
                std::string lower = word;
                std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
                return kPool[g.first[row]].plain.find(lower) != std::string::npos ||
                       kPool[g.last[row]].plain.find(lower) != std::string::npos;
              }};
    }
    case 1: {
      const int value = 60 + static_cast<int>(random() % 40);
      return {"speed" + op + std::to_string(value),
              [&ref, value, compare](std::size_t row) { return compare(ref.Number(row, "Speed"), value); }};
    }
    case 2: {
      const int inches = 70 + static_cast<int>(random() % 20);
      const std::string value = random() % 2 ? std::to_string(inches) : std::to_string(inches / 12) + "-" + std::to_string(inches % 12);
      return {"Height" + op + value,
              [&ref, inches, compare](std::size_t row) { return compare(ref.Number(row, "Height"), inches); }};
    }
    case 3: {
      const double millions = static_cast<double>(random() % 20) / 2;
      char value[16];
      std::snprintf(value, sizeof value, "%g", millions);
      return {"\"Year 1\"" + op + value,
              [&ref, millions, compare](std::size_t row) { return compare(ref.Number(row, "Year 1"), millions); }};
    }
    default: {  // items by prefixes, any of two
      const char* prefixes[] = {"point", "Sh", "Sm", "Pow", "C", "N/"};
      const int a = static_cast<int>(random() % 6), b = static_cast<int>(random() % 6);
      return {std::string("Position") + op + prefixes[a] + "|\"" + prefixes[b] + "\"",
              [&ref, a, b, op, compare](std::size_t row) {
                const double item = ref.Number(row, "Position");
                if (op == "=") return item == a + 1 || item == b + 1;
                if (op == "!=") return item != a + 1 && item != b + 1;
                return item != 0 && (compare(item, a + 1) || compare(item, b + 1));
              }};
    }
  }
}

TEST(ManyPlayers, FiltersAndSortsAgreeWithTheReferenceOverGeneratedRosters) {
  test::TempDir dir;
  for (unsigned seed = 1; seed <= 12; ++seed) {
    std::mt19937 random(seed);
    const Generated g = Generate(random, 40 + random() % 40);
    const std::string path = dir.File("many" + std::to_string(seed) + ".ros");
    test::WriteFileBytes(path, g.built.bytes);
    const std::vector<PlayerEntry> rows = FillPlayerList(path, 0);
    RosterView view;
    ASSERT_EQ(OpenRosterView(view, path), OpenStatus::Ok);
    Reference ref;
    ListedFields fields(view, rows);
    for (std::size_t row = 0; row < rows.size(); ++row) {
      LoadedPlayer player;
      ref.pages.emplace_back();
      ASSERT_TRUE(LoadPlayer(view, rows[row].position, ref.pages.back(), player));
      // Every field read straight from the file shows what the pages show.
      for (const Field& f : Fields()) ASSERT_EQ(fields.Text(row, f), FieldText(ref.pages.back(), f)) << f.label;
      // The list's names carry no fill.
      EXPECT_EQ(rows[row].last_name.find('\x14'), std::string::npos);
    }
    for (int round = 0; round < 40; ++round) {
      std::vector<Term> terms(1 + random() % 3);
      std::string text;
      for (Term& t : terms) {
        t = RandomTerm(random, ref, g);
        text += (text.empty() ? "" : "  ") + t.text;
      }
      std::string latin1;
      for (char16_t c : std::u16string(text.begin(), text.end())) latin1 += static_cast<char>(c);
      const FilterParse parse = ParseFilter(latin1);
      ASSERT_TRUE(parse.ok()) << text << ": " << parse.error;
      std::vector<std::size_t> expected;
      for (std::size_t row = 0; row < rows.size(); ++row) {
        if (std::all_of(terms.begin(), terms.end(), [row](const Term& t) { return t.holds(row); })) expected.push_back(row);
      }
      ASSERT_EQ(FilterRows(parse.filter, fields, FileOrder(rows.size())), expected) << text;
    }
    // Two stable sorts, as two header clicks: the second key decides, the first breaks its ties.
    for (int round = 0; round < 10; ++round) {
      const char* labels[] = {"Speed", "Height", "Weight", "Position", "Year 1"};
      const char* first = labels[random() % 5];
      const char* second = labels[random() % 5];
      const bool down1 = random() % 2, down2 = random() % 2;
      std::vector<std::size_t> order = FileOrder(rows.size());
      SortRows(order, fields, *FindField(first), down1);
      SortRows(order, fields, *FindField(second), down2);
      std::vector<std::size_t> expected = FileOrder(rows.size());
      auto key = [&](const char* label, bool down) {
        return [&ref, label, down](std::size_t a, std::size_t b) {
          return down ? ref.Number(a, label) > ref.Number(b, label) : ref.Number(a, label) < ref.Number(b, label);
        };
      };
      std::stable_sort(expected.begin(), expected.end(), key(first, down1));
      std::stable_sort(expected.begin(), expected.end(), key(second, down2));
      ASSERT_EQ(order, expected) << first << " then " << second;
    }
    CloseRosterView(view);
  }
}

TEST(ManyPlayers, FilterErrorsNameTheTermAndWhy) {
  const std::pair<const char*, const char*> bad[] = {
      {"Speed>70 Heigth<80", "\"Heigth<80\": no field is labelled \"Heigth\""},
      {"Speed>fast", "\"Speed>fast\": \"fast\" is not a number"},
      {"Height<tall", "\"Height<tall\": \"tall\" is not a height (82 or 6-10)"},
      {"FirstName<J", "\"FirstName<J\": FirstName is a name: it takes = and != only"},
      {"Position=Po", "\"Position=Po\": \"Po\" fits both Point Guard and Power Forward"},
      {"Position=Goalie", "\"Position=Goalie\": no item of Position starts with \"Goalie\""},
      {"=5", "\"=5\": a label comes before ="},
      {"\"Years Pro>3", "a quote is not closed"},
      {"Speed!3", "\"Speed!3\": \"!\" is no operator"},
  };
  for (const auto& [text, why] : bad) {
    const FilterParse parse = ParseFilter(text);
    EXPECT_NE(parse.error.find(why), std::string::npos) << text << " gave: " << parse.error;
    EXPECT_TRUE(parse.filter.terms.empty()) << text;
  }
  EXPECT_TRUE(ParseFilter("\"Years Pro\">=3 \"Shooting(3Pt.)\"<50 \"No Trade\"=y  ").ok());
}

}  // namespace
}  // namespace rostrel
