// Writes a demo roster file for trying the editor: fictional players with
// plausible ratings and tendencies, laid out like the game's own files.
//   rostrel_demo_roster OUT.ROS [PLAYERS]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/roster_builder.h"

using namespace rostrel::test;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUT.ROS|OUT.FXG [PLAYERS]\n", argv[0]);
    return 2;
  }
  const std::string out = argv[1];
  const int count = argc > 2 ? std::atoi(argv[2]) : 60;
  if (count < 1 || count > 32767) {
    std::fprintf(stderr, "PLAYERS must be 1 ... 32767\n");
    return 2;
  }
  const char* firsts[] = {"Marcus", "Tony", "Devin", "Andre", "Luis", "Kevin", "Jamal", "Oscar",
                          "Victor", "Darius", "Elliot", "Reggie", "Hakeem", "Pavel", "Tyrese", "Milo"};
  const char* lasts[] = {"Brooks", "Carver", "Dalton", "Ellison", "Fairley", "Garrity", "Holloway", "Iverly",
                         "Jessup", "Kearns", "Lomax", "Mercer", "Norwood", "Okafor", "Pruitt", "Quarles",
                         "Ransome", "Stroud", "Talbot", "Underhill", "Vance"};
  const bool fxg = out.size() > 4 && (out.substr(out.size() - 4) == ".FXG" || out.substr(out.size() - 4) == ".fxg");
  RosterBuilder builder(fxg ? Kind::Fxg : Kind::Ros);
  unsigned seed = 2009;
  auto next = [&seed](int low, int high) {
    seed = seed * 1103515245u + 12345u;
    return low + static_cast<int>((seed >> 16) % static_cast<unsigned>(high - low + 1));
  };
  for (int i = 0; i < count; ++i) {
    builder.Add(U16(firsts[(i * 7) % 16]), U16(lasts[(i * 5 + i / 16) % 21]));
    auto& record = builder.Record(static_cast<std::size_t>(i));
    for (int x = 8; x < 436; ++x) record[static_cast<std::size_t>(x)] = 0;
    auto put = [&record](std::size_t at, std::uint32_t value, int bytes) {
      for (int k = 0; k < bytes; ++k) record[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value >> (8 * k));
    };
    const int age = next(20, 35), inches = next(72, 88);
    const float pounds = static_cast<float>(next(180, 270));
    std::uint32_t weight;
    std::memcpy(&weight, &pounds, sizeof weight);
    put(32, static_cast<std::uint32_t>(next(0, 3)), 1);                          // role
    put(36, weight, 4);                                                         // weight, a single
    put(40, 1115684864u + static_cast<std::uint32_t>(inches) * 166461u + 1u, 4);  // height, a single
    put(44, static_cast<std::uint32_t>(next(0, 5)), 1);                         // personality
    put(48, static_cast<std::uint32_t>(next(0, 55)) << 7, 2);                   // jersey number
    const std::uint32_t year = static_cast<std::uint32_t>(2008 - age);
    const std::uint32_t birth = year << 21 | static_cast<std::uint32_t>(next(1, 28)) << 16 |
                                static_cast<std::uint32_t>(next(1, 12)) << 11 |
                                static_cast<std::uint32_t>(next(1, 2)) << 7;  // and the draft round
    put(54, birth, 4);
    // The age shown comes from the birth date's upper bytes (offset 56).
    put(109, static_cast<std::uint32_t>(i % 5), 1);                    // positions
    put(110, static_cast<std::uint32_t>((i + 1) % 5), 1);
    put(141, static_cast<std::uint32_t>(next(1, 30)), 1);              // draft pick
    put(153, (year + 22) % 100, 1);                                    // draft year
    put(337, static_cast<std::uint32_t>(4 * (age - 20)), 2);           // years as a pro
    for (int k = 0; k < 4; ++k) put(340 + 4 * static_cast<std::size_t>(k), static_cast<std::uint32_t>(next(1, 20)) * 500000u, 4);
    for (int x = 436; x < 470; ++x) record[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(next(45, 95));
    for (int x = 470; x < 486; ++x) record[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(next(20, 90));
  }
  WriteFileBytes(out, builder.Build().bytes);
  std::printf("%s: %d players\n", out.c_str(), count);
  return 0;
}
