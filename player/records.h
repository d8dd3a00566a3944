// Moving one player between the roster file and the editor pages: the rating
// and tendency bytes, and the vitals.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "player/pages.h"
#include "roster/roster_file.h"

namespace rostrel {

// What a load of the record would put into the pages, so that a save can tell
// which controls the user changed. A control still showing that is not
// written, even where its text would not convert back to the stored value (a
// salary that is not a whole number of thousands, a draft year 120). The load
// sets it, and every save sets it again from what the file then holds.
struct LoadedState {
  std::map<std::pair<int, int>, std::string> texts;  // (tab, id) -> text as the box took it
  std::map<std::pair<int, int>, std::uint32_t> remembered;  // (tab, id) -> the control's remembered value
  std::map<int, int> items;  // VITALS list -> the item the load selected (0: none)
  std::uint32_t iff_check = 0;
  std::uint32_t first_name_length = 0;  // characters shown, the most a save writes
  std::uint32_t last_name_length = 0;

  // Shows text in the box and remembers what the box then holds.
  void Show(EditorPages& pages, int tab, int id, const std::string& text);
  // Sets the control's remembered value and keeps a copy.
  void Remember(EditorPages& pages, int tab, int id, std::uint32_t value);
  // True when the box still holds what the load showed.
  bool Untouched(const EditorPages& pages, int tab, int id) const;
};

// The 8-, 16- or 32-bit field at the 0-based offset.
std::uint32_t ReadField(const RosterView& view, std::uint64_t offset, int bits);
// The name behind the self-relative reference at 1-based position reference,
// as the list and the name box show it.
std::string ShownNameAt(const RosterView& view, std::uint32_t reference);

void LoadByteBlock(const RosterView& view, std::uint32_t position, const ByteBlock& block, EditorPages& pages,
                   LoadedState& loaded);
void SaveByteBlock(RosterView& view, std::uint32_t position, const ByteBlock& block, const EditorPages& pages,
                   const LoadedState& loaded);

void LoadVitals(const RosterView& view, std::uint32_t position, EditorPages& pages, LoadedState& loaded);
// Writes the edited vitals.
void SaveVitals(RosterView& view, std::uint32_t position, const EditorPages& pages, const LoadedState& loaded);

}  // namespace rostrel
