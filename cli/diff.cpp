// rostrel-cli diff: the players and fields that differ between two files, matched by record position.
#include "cli/commands.h"

#include <cstdio>
#include <map>
#include <set>

#include "cli/common.h"
#include "player/names.h"

namespace rostrel::cli {

int CommandDiff(const std::string& a, const std::string& b) {
  const Roster ra = List(a), rb = List(b);
  OpenView va(a), vb(b);
  std::map<std::string, std::size_t> in_b;
  for (std::size_t i = 0; i < rb.rows.size(); ++i) in_b.emplace(Position(rb.rows[i]), i);
  std::set<std::string> seen;
  int differing = 0;
  for (std::size_t i = 0; i < ra.rows.size(); ++i) {
    const std::string pos = Position(ra.rows[i]);
    seen.insert(pos);
    const auto j = in_b.find(pos);
    const std::string who = "@" + pos + " " + CellText(ra.rows[i].first_name) + " " + CellText(ra.rows[i].last_name);
    if (j == in_b.end()) {
      std::printf("%s: only in %s\n", who.c_str(), a.c_str());
      ++differing;
      continue;
    }
    Loaded la, lb;
    Load(va, ra, i, la);
    Load(vb, rb, j->second, lb);
    bool any = false;
    for (const Field& f : Fields()) {
      const std::string ta = CellText(FieldText(la.pages, f)), tb = CellText(FieldText(lb.pages, f));
      if (ta == tb) continue;
      std::printf("%s: %s: \"%s\" -> \"%s\"\n", who.c_str(), f.label.c_str(), ta.c_str(), tb.c_str());
      any = true;
    }
    differing += any;
  }
  for (const PlayerEntry& row : rb.rows) {
    if (!seen.count(Position(row))) {
      std::printf("@%s %s %s: only in %s\n", Position(row).c_str(), CellText(row.first_name).c_str(),
                  CellText(row.last_name).c_str(), b.c_str());
      ++differing;
    }
  }
  std::printf("%d players differ\n", differing);
  return 0;
}

}  // namespace rostrel::cli
