// What every rostrel-cli command shares: the refusal that ends a command,
// the roster listed (its journal dealt with first) and mapped, a player found
// by row, record position or name, a player's pages loaded, backups, scratch
// copies, and the texts between the file's single bytes and UTF-8.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "player/field_catalog.h"
#include "cli/terminal.h"
#include "player/player_cycle.h"
#include "player/player_list.h"
#include "roster/journal.h"
#include "roster/roster_file.h"
#include "roster/write_lock.h"

namespace rostrel::cli {

// A refusal of the file or a value: reported on stderr, exit code 1.
struct Refused {
  std::string message;
};
// Arguments that are not of the command's form: reported on stderr, exit code 2.
struct UsageError {
  std::string message;
};
// Another program held the roster's lock all the time waited: exit code 3.
struct Busy {
  std::string message;
};
constexpr int kExitBusy = 3;

// Locks the roster for the command's whole run: exclusive for a command that
// writes it, shared for one that reads it (after any journal left by a writer
// that stopped was completed). Throws Busy; a file that cannot be opened is
// not locked, and the command says why it cannot be read.
RosterLock LockForCommand(const std::string& path, bool writes);

std::vector<std::uint8_t> ReadAll(const std::string& path);

// The roster as listed, after any interrupted write was completed.
struct Roster {
  std::string path;
  std::uint32_t header = 0;
  std::vector<PlayerEntry> rows;
  ListReport report;
  RecoveryReport recovery;
};

// An interrupted write of the roster, recorded in its journal, is completed
// before the roster is read; a journal that does not match the file stops
// every command but check, which reports it (for_check).
Roster List(const std::string& path, bool for_check = false);

// PLAYER: a row number, "@" and a record position, or "First Last"; the row's index.
std::size_t FindRow(const Roster& r, const std::string& player);

// The roster mapped for the command's whole run.
class OpenView {
 public:
  explicit OpenView(const std::string& path);
  RosterView& view() { return view_; }

 private:
  RosterView view_;  // released at destruction
};

// Copies path to path.bak, unless a backup is there already.
void Backup(const std::string& path);

// The record position of a row, as digits.
std::string Position(const PlayerEntry& row);

// Names and texts hold the low bytes of 16-bit units, that is Latin-1: as
// UTF-8 for the terminal, JSON and CSV, and back; false for a character above
// U+00FF or broken UTF-8.
std::string Utf8(const std::string& text);
bool Latin1(const std::string& text, std::string& out);

// A text for one field, as a user would type it.
struct Assignment {
  const Field* field;
  std::string text;
};

// The pages filled from one player, as the window's load fills them.
struct Loaded {
  MemoryPages pages;
  LoadedPlayer player;
};
void Load(OpenView& open, const Roster& r, std::size_t row, Loaded& loaded);

// With --strict: every value must read back as typed, or nothing is written.
void RefuseUnlessAsTyped(const std::string& file, const std::vector<std::string>& not_as_typed);

// Runs work on a copy of file in the temporary folder and removes the copy;
// messages name file, not the copy.
template <typename Work>
auto OnScratchCopy(const std::string& file, Work work) {
  // Named for this run, so that two runs at once never share a copy.
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() /
      ("rostrel-scratch-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
       std::filesystem::path(file).extension().string());
  std::error_code error;
  std::filesystem::copy_file(PathOf(file), scratch, std::filesystem::copy_options::overwrite_existing, error);
  if (error) throw Refused{file + ": a scratch copy cannot be written: " + error.message()};
  struct Remove {
    std::filesystem::path path;
    ~Remove() { std::filesystem::remove(path); }
  } remove{scratch};
  const std::string scratch_path = Utf8Path(scratch);
  try {
    return work(scratch_path);
  } catch (const Refused& refused) {
    std::string message = refused.message;
    if (message.rfind(scratch_path, 0) == 0) message = file + message.substr(scratch_path.size());
    throw Refused{message};
  }
}


// The CSV's key column: the record position ("Position" is a field).
constexpr const char* kRecordColumn = kRecordLabel;

}  // namespace rostrel::cli
