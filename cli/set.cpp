// rostrel-cli set: fields changed by their page labels, as typing into the boxes and Save would.
#include "cli/commands.h"

#include <cstdio>

#include "cli/common.h"
#include "player/names.h"

namespace rostrel::cli {

namespace {

std::vector<Assignment> ParseAssignments(const std::vector<std::string>& texts) {
  std::vector<Assignment> all;
  for (const std::string& a : texts) {
    const std::size_t eq = a.find('=');
    if (eq == std::string::npos) throw UsageError{"FIELD=TEXT: expected FIELD=TEXT, got " + a};
    const Field* f = FindField(a.substr(0, eq));
    if (!f) throw Refused{"no field is labelled \"" + a.substr(0, eq) + "\" (rostrel-cli show FILE PLAYER lists them)"};
    std::string text;
    if (!Latin1(a.substr(eq + 1), text)) {
      throw Refused{f->label + ": \"" + a.substr(eq + 1) + "\" holds a character above U+00FF, which no field can hold"};
    }
    all.push_back({f, text});
  }
  return all;
}

// One typed value and what the file holds for it after the save.
struct Outcome {
  const Field* field;
  std::string before, after, typed;
  bool as_typed() const { return ShowsAsTyped(*field, typed, after); }
  std::string Text() const {
    return field->label + ": \"" + Utf8(before) + "\" -> \"" + Utf8(after) + "\"" +
           (as_typed() ? "" : " (typed \"" + Utf8(typed) + "\")");
  }
};

// Types the texts into the loaded player's pages and saves it; for each text,
// what the pages showed before and what the file holds afterwards.
std::vector<Outcome> Apply(const std::string& file, const std::string& player, const std::vector<Assignment>& edits,
                           const std::optional<HistoryKeeping>& history) {
  const Roster r = List(file);
  const std::size_t row = FindRow(r, player);
  OpenView open(file);
  Loaded loaded;
  Load(open, r, row, loaded);
  std::vector<Outcome> outcomes;
  for (const Assignment& e : edits) {
    outcomes.push_back({e.field, CellText(FieldText(loaded.pages, *e.field)), {}, e.text});
    std::string why;
    if (!PutFieldText(loaded.pages, *e.field, e.text, why)) {
      throw Refused{file + ": player " + player + ": field " + e.field->label + ": \"" + Utf8(e.text) + "\" refused: " + why};
    }
  }
  const SaveResult saved = SavePlayer(open.view(), loaded.pages, loaded.player, history ? &*history : nullptr);
  if (!saved.saved) throw Refused{file + ": the player was not saved: " + saved.error};
  if (!saved.history_note.empty()) PrintError("rostrel-cli: " + saved.history_note + "\n");
  Loaded fresh;
  Load(open, r, row, fresh);
  for (std::size_t k = 0; k < edits.size(); ++k) outcomes[k].after = CellText(FieldText(fresh.pages, *edits[k].field));
  return outcomes;
}

}  // namespace

int CommandSet(const std::string& file, const std::string& player, const std::vector<std::string>& texts, bool dry_run,
               bool backup, bool strict, const std::optional<HistoryKeeping>& history) {
  const std::vector<Assignment> edits = ParseAssignments(texts);
  if (dry_run || strict) {
    // The same edit on a scratch copy: what the file would hold, and the offsets it would change.
    const std::vector<std::uint8_t> before = ReadAll(file);
    std::vector<std::uint8_t> after;
    const std::vector<Outcome> outcomes = OnScratchCopy(file, [&](const std::string& scratch) {
      std::vector<Outcome> result = Apply(scratch, player, edits, std::nullopt);  // no history beside the copy
      after = ReadAll(scratch);
      return result;
    });
    if (strict) {
      std::vector<std::string> refused;
      for (const Outcome& o : outcomes) {
        if (!o.as_typed()) {
          refused.push_back(o.field->label + ": \"" + Utf8(o.typed) + "\" would be stored as \"" + Utf8(o.after) + "\"");
        }
      }
      RefuseUnlessAsTyped(file, refused);
    }
    if (dry_run) {
      std::string text;
      for (const Outcome& o : outcomes) text += "would set " + o.Text() + "\n";
      text += "would change file offsets:";
      for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        if (before[i] != after[i]) text += " " + std::to_string(i);
      }
      Print(text + "\n");
      return 0;
    }
  }
  if (backup) Backup(file);
  for (const Outcome& o : Apply(file, player, edits, history)) Print(o.Text() + "\n");
  return 0;
}

}  // namespace rostrel::cli
