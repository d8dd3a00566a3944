// Whole editing sessions: a user loads players, types into any box, ticks the
// check box, picks an item of any drop-down list, edits the list's cells,
// sets a field for several players, pastes a block, takes back grid edits,
// saves, closes and reopens the file, in any order. After every save what the
// pages and the list showed must be what a fresh load of the file shows, or
// the check before the save named it, and no byte outside the edited players'
// records, their name units and the checksum may have changed. The same session runs over the
// in-memory pages (natively and under libFuzzer) and over the real controls
// (under Wine), so that the two can be compared step by step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "player/pending_edits.h"
#include "player/player_cycle.h"
#include "tests/memory_pages.h"
#include "tests/roster_builder.h"

namespace rostrel::fuzz {

// A control a user can change: (tab, id).
struct Editable {
  int tab;
  int id;
};
// Every edit box a user can type into, page by page.
const std::vector<Editable>& EditableControls();
// The drop-down lists of VITALS.
const std::vector<int>& ListControls();

struct Action {
  enum Kind : std::uint8_t { Load, Type, Retype, Toggle, Pick, Save, Reopen, CellEdit, Set, Paste, Undo };
  Kind kind = Save;
  std::size_t row = 0;      // Load, CellEdit, Set, Paste: the (first) listed player, modulo the count
  std::size_t count = 1;    // Set, Paste: how many players from row on
  std::size_t control = 0;  // Type, Retype: the editable control; CellEdit, Set, Paste: the field; modulo their count
  std::size_t list = 0;     // Pick: the list, modulo their count
  int item = 1;             // Pick: the item, modulo the list's count
  std::string text;         // Type, CellEdit, Set, Paste: what the user types ("+5" steps in a Set)
};
std::string Describe(const Action& action);

// Actions read from fuzzed bytes.
std::vector<Action> DecodeActions(const std::uint8_t* data, std::size_t size);
// A fixed, seeded sequence of realistic actions: numbers in and out of range,
// texts that do not read back as typed, names shortened and typed back.
std::vector<Action> SeededActions(std::uint32_t seed, std::size_t count);

// The user's hands on the pages.
class UserInput {
 public:
  virtual ~UserInput() = default;
  // Replaces the box's text as typing does: a text limit refuses the rest.
  virtual void Type(int tab, int id, std::string_view text) = 0;
  virtual void ToggleCheck(int tab, int id) = 0;
  virtual void PickItem(int tab, int id, int item) = 0;
};

class MemoryInput : public UserInput {
 public:
  explicit MemoryInput(test::MemoryPages& pages) : pages_(pages) {}
  void Type(int tab, int id, std::string_view text) override { pages_.Type(tab, id, text); }
  void ToggleCheck(int tab, int id) override { pages_.SetCheck(tab, id, pages_.GetCheck(tab, id) ? 4 : 1); }
  void PickItem(int tab, int id, int item) override { pages_.SetComboIndex(tab, id, item); }

 private:
  test::MemoryPages& pages_;
};

class Session {
 public:
  Session(std::string path, EditorPages& pages, UserInput& input) : path_(std::move(path)), pages_(pages), input_(input) {}
  // Lists and maps the file; false when it cannot be edited.
  bool Open();
  // Runs one action; an empty text, or what went wrong.
  std::string Step(const Action& action);
  const RosterView& view() const { return view_; }
  std::size_t saves() const { return saves_; }

 private:
  std::string CheckSave();
  std::string CheckPagesShowTheFile();
  std::string CheckOneByOne(const test::Bytes& before,
                            const std::map<std::pair<std::uint32_t, const Field*>, std::string>& typed);
  std::string GridStep(const Action& action);
  // The loaded player's pages again, with his grid edits, after the grid changed them.
  void ShowLoaded();

  std::string path_;
  EditorPages& pages_;
  UserInput& input_;
  RosterView view_;
  std::vector<PlayerEntry> rows_;
  LoadedPlayer player_;
  PendingEdits grid_;
  std::map<std::pair<int, int>, std::string> shown_at_load_;  // what the last load showed, for Retype
  bool overlapped_ = false;  // a save since the last load wrote a name over its own record
  std::size_t saves_ = 0;
};

// Five players whose vitals reach every case the pages treat apart.
test::Bytes SessionRoster();

// Input: one byte (bit 7: a saved game), one byte n (the last 2n bytes are the
// actions), then the file.
std::string CheckEditingSession(const std::uint8_t* data, std::size_t size);
// The session target's input for one seed file: a script that edits, saves,
// types back and saves again.
std::vector<std::uint8_t> SessionInput(const std::string& name, const std::vector<std::uint8_t>& file);

}  // namespace rostrel::fuzz
