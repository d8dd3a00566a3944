// Writes a demo roster file for trying the editor: fictional players with
// plausible ratings and tendencies, laid out like the game's own files.
//   rostrel_demo_roster OUT.ROS [PLAYERS]
#include <cstdio>
#include <cstdlib>
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
    for (int x = 436; x < 470; ++x) record[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(next(45, 95));
    for (int x = 470; x < 486; ++x) record[static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(next(20, 90));
  }
  WriteFileBytes(out, builder.Build().bytes);
  std::printf("%s: %d players\n", out.c_str(), count);
  return 0;
}
