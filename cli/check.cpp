// rostrel-cli check: the checksum, the player count and every problem found; --fix rewrites the checksum.
#include "cli/commands.h"

#include <cstdio>

#include "cli/common.h"
#include "roster/checksum.h"
#include "roster/transaction.h"

namespace rostrel::cli {

int CommandCheck(const std::string& file, bool fix) {
  const Roster r = List(file, true);
  const std::vector<std::uint8_t> bytes = ReadAll(file);
  bool sound = true;
  // A journal that does not match stays, and nothing is written beside it.
  const bool journal_stays = r.recovery.what == Recovery::Mismatch || r.recovery.what == Recovery::Failed;
  if (journal_stays) {
    Print("problem: " + r.recovery.message + "\n");
    sound = false;
    fix = false;
  }
  const std::optional<std::uint32_t> stored = StoredChecksum(bytes), computed = ComputedChecksum(bytes);
  if (!stored || !computed) {
    Print(Formatted("checksum: none (the file has %zu bytes)\n", bytes.size()));
    sound = false;
  } else {
    Print(Formatted("checksum: stored %08X, computed %08X%s\n", *stored, *computed, *stored == *computed ? "" : " (wrong)"));
    if (*stored != *computed) {
      if (fix) {
        OpenView open(file);
        const CommitResult committed = RosterTransaction(open.view()).Commit();
        if (!committed.ok) throw Refused{file + ": the checksum was not written: " + committed.reason};
        Print("checksum: rewritten\n");
      } else {
        sound = false;
      }
    }
  }
  const ListReport& rep = r.report;
  Print(Formatted("players: %zu listed (the header says %u)\n", r.rows.size(), rep.stored_count));
  auto problem = [&sound](std::uint32_t n, const char* what) {
    if (n == 0) return;
    Print(Formatted("problem: %u %s\n", n, what));
    sound = false;
  };
  if (rep.no_header) problem(1, "roster header missing (the file is too short)");
  problem(rep.dropped_players, "listed players beyond 32767 or outside the file");
  problem(rep.names_outside, "name references outside the file");
  problem(rep.names_unterminated, "names not closed before the end of the file");
  problem(rep.names_cut, "names longer than the longest shown");
  Print(sound ? "sound\n" : "not sound\n");
  return sound ? 0 : 1;
}

}  // namespace rostrel::cli
