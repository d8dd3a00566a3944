// The editor pages in memory, behaving as the real controls do where it
// matters to the player data: a window text ends at a NUL, typing respects the
// text limit and the byte pages' digits-only style, each drop-down list of
// VITALS holds its table's items. The command-line tool edits through them, and so do the
// tests.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "player/pages.h"
#include "player/vitals_table.h"

namespace rostrel {

class MemoryPages : public EditorPages {
 public:
  struct Control {
    std::string text;
    std::optional<std::uint32_t> limit;
    std::uint32_t remembered = 0;
    int combo = 0;
    bool checked = false;
  };

  std::string GetFieldText(int tab, int id) const override { return Find(tab, id).text; }
  void SetFieldText(int tab, int id, std::string_view text) override {
    At(tab, id).text = std::string(text.substr(0, text.find('\0')));
  }
  void SetFieldLimit(int tab, int id, std::uint32_t limit) override { At(tab, id).limit = limit; }
  std::uint32_t GetFieldLimit(int tab, int id) const override { return Find(tab, id).limit.value_or(0); }
  std::uint32_t GetRemembered(int tab, int id) const override { return Find(tab, id).remembered; }
  void SetRemembered(int tab, int id, std::uint32_t value) override { At(tab, id).remembered = value; }
  void SetComboIndex(int tab, int id, int item) override {
    const VitalsField* f = tab == kVitalsTab ? FindVitalsField(id) : nullptr;
    At(tab, id).combo = f && f->list && item >= 1 && item <= f->list->Count() ? item : 0;
  }
  int GetComboIndex(int tab, int id) const override { return Find(tab, id).combo; }
  void SetCheck(int tab, int id, std::uint32_t v) override { At(tab, id).checked = v != 4; }
  std::uint32_t GetCheck(int tab, int id) const override { return Find(tab, id).checked ? 1 : 0; }

  // The user replaces the box's text by typing. The byte pages' boxes refuse
  // all but digits, a set limit refuses the characters past it, and no box
  // holds a NUL.
  void Type(int tab, int id, std::string_view text) {
    Control& c = At(tab, id);
    c.text.clear();
    for (char ch : text) {
      if (ch == '\0' || (tab != kVitalsTab && (ch < '0' || ch > '9'))) continue;
      if (c.limit && c.text.size() >= *c.limit) break;
      c.text += ch;
    }
  }
  std::string Text(int tab, int id) const { return GetFieldText(tab, id); }

 private:
  Control& At(int tab, int id) { return controls_[{tab, id}]; }
  const Control& Find(int tab, int id) const {
    static const Control none;
    const auto it = controls_.find({tab, id});
    return it == controls_.end() ? none : it->second;
  }
  std::map<std::pair<int, int>, Control> controls_;
};

}  // namespace rostrel
