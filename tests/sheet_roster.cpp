// Writes the roster that tools/make_sheet_fixtures.sh exports and has a real
// spreadsheet program save: accented names, a jersey 00, salaries with
// decimals, and vitals a real player has.
#include <bit>
#include <cstdio>

#include "tests/roster_builder.h"

using namespace rostrel::test;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rostrel_sheet_roster OUT.ROS\n");
    return 2;
  }
  struct Player {
    const char16_t *first, *last;
    float height, weight;
    std::uint32_t number, salary, birth;
  };
  const Player players[] = {
      {u"Jos\u00e9", u"Calder\u00f3n", 190.5f, 210.0f, 8, 12500000, (1981u << 21) | (28u << 16) | (9u << 11)},
      {u"Manu", u"Gin\u00f3bili", 198.12f, 205.0f, 20, 10600000, (1977u << 21) | (28u << 16) | (7u << 11)},
      {u"Nen\u00ea", u"Hil\u00e1rio", 210.82f, 250.0f, 100, 5250000, (1982u << 21) | (13u << 16) | (9u << 11)},
      {u"Tony", u"Parker", 187.96f, 180.0f, 9, 11370000, (1982u << 21) | (17u << 16) | (5u << 11)},
      {u"Dirk", u"Nowitzki", 213.36f, 245.5f, 41, 19100000, (1978u << 21) | (19u << 16) | (6u << 11)},
  };
  RosterBuilder builder;
  for (const Player& p : players) builder.Add(p.first, p.last);
  for (std::size_t i = 0; i < std::size(players); ++i) {
    auto& r = builder.Record(i);
    auto put32 = [&r](std::size_t at, std::uint32_t v) {
      for (int k = 0; k < 4; ++k) r[at + k] = static_cast<std::uint8_t>(v >> (8 * k));
    };
    const Player& p = players[i];
    r[32] = static_cast<std::uint8_t>(i % 5);                         // role
    put32(36, std::bit_cast<std::uint32_t>(p.weight));
    put32(40, std::bit_cast<std::uint32_t>(p.height));
    r[44] = static_cast<std::uint8_t>(i % 4);                         // personality
    r[48] = static_cast<std::uint8_t>(p.number << 7), r[49] = static_cast<std::uint8_t>(p.number >> 1);
    put32(54, p.birth | (1u << 7));                                   // draft round 1
    r[109] = static_cast<std::uint8_t>(i), r[110] = static_cast<std::uint8_t>((i + 1) % 5);
    r[112] = static_cast<std::uint8_t>((i % 3) << 5);                 // body shape
    r[120] = i % 2 ? 4 : 1;                                           // IFF
    r[141] = static_cast<std::uint8_t>(10 + i), r[153] = static_cast<std::uint8_t>(98 + i) % 100;
    r[192] = static_cast<std::uint8_t>(i % 2), r[193] = 0;            // no trade
    r[337] = static_cast<std::uint8_t>(13 + 4 * i), r[338] = 0;       // years pro: 3.25, 4.25, ...
    for (std::size_t k = 0; k < 7; ++k) put32(340 + 4 * k, k < 4 ? p.salary + 250000 * k : 0);
    r[410] = i == 2 ? 0 : 1;                                          // hand
  }
  WriteFileBytes(argv[1], builder.Build().bytes);
  return 0;
}
