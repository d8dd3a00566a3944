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
    const std::string who = "@" + pos + " " + Utf8(CellText(ra.rows[i].first_name) + " " + CellText(ra.rows[i].last_name));
    if (j == in_b.end()) {
      Print(who + ": only in " + a + "\n");
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
      Print(who + ": " + f.label + ": \"" + Utf8(ta) + "\" -> \"" + Utf8(tb) + "\"\n");
      any = true;
    }
    differing += any;
  }
  for (const PlayerEntry& row : rb.rows) {
    if (!seen.count(Position(row))) {
      Print("@" + Position(row) + " " + Utf8(CellText(row.first_name) + " " + CellText(row.last_name)) + ": only in " + b +
            "\n");
      ++differing;
    }
  }
  Print(Formatted("%d players differ\n", differing));
  return 0;
}

}  // namespace rostrel::cli
