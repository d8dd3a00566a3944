#include "tests/fuzz/session.h"

#include <algorithm>
#include <random>
#include <set>

#include "player/names.h"
#include "player/vitals_table.h"
#include "tests/fuzz/fuzz_targets.h"

namespace rostrel::fuzz {

namespace {

using test::Bytes;

// The 0-based bytes [first, first + length) of one name's units.
struct Span {
  std::uint64_t first, length;
  bool Holds(std::uint64_t i) const { return i >= first && i - first < length; }
  bool Meets(const Span& o) const { return first < o.first + o.length && o.first < first + length; }
};

Span NameUnits(const EditorPages& pages, int id) {
  const std::uint32_t q = pages.GetRemembered(kVitalsTab, id);
  return q == 0 ? Span{0, 0} : Span{q - 1u, 2ull * pages.GetFieldLimit(kVitalsTab, id)};
}

std::string Printable(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      static const char* hex = "0123456789ABCDEF";
      out += std::string("\\x") + hex[c >> 4] + hex[c & 15];
    }
  }
  return out;
}

}  // namespace

const std::vector<Editable>& EditableControls() {
  static const std::vector<Editable> all = [] {
    using namespace vitals;
    std::vector<Editable> v;
    for (int id : {kFirstName, kLastName, kType, kFaceId, kUnknownId, kBirth, kRound, kPick, kDraftYear, kPbpId, kNumber,
                   kHeight, kWeight, kYearsPro}) {
      v.push_back({kVitalsTab, id});
    }
    for (int k = 0; k < kSalaryYears; ++k) v.push_back({kVitalsTab, kFirstSalary + k});
    for (const ByteBlock& block : {kRatings, kTendencies}) {
      for (std::uint32_t i = 0; i < block.length; ++i) v.push_back({block.tab, kFirstBlockBox + static_cast<int>(i)});
    }
    return v;
  }();
  return all;
}

const std::vector<int>& ListControls() {
  static const std::vector<int> all = [] {
    std::vector<int> v;
    for (const VitalsField& f : VitalsFields()) {
      if (f.list) v.push_back(f.control);
    }
    return v;
  }();
  return all;
}

namespace {

// The list a Pick names and the item it picks there, always one the list has.
std::pair<const VitalsField*, int> Picked(const Action& a) {
  const VitalsField* f = FindVitalsField(ListControls()[a.list % ListControls().size()]);
  return {f, (a.item - 1) % f->list->Count() + 1};
}

}  // namespace

std::string Describe(const Action& a) {
  const Editable& c = EditableControls()[a.control % EditableControls().size()];
  const std::string box = "box " + std::to_string(c.tab) + "/" + std::to_string(c.id);
  switch (a.kind) {
    case Action::Load: return "load row " + std::to_string(a.row);
    case Action::Type: return "type \"" + Printable(a.text) + "\" into " + box;
    case Action::Retype: return "type back what the load showed into " + box;
    case Action::Toggle: return "toggle IFF";
    case Action::Pick: {
      const auto [list, item] = Picked(a);
      return std::string("pick ") + list->label + " item " + std::to_string(item);
    }
    case Action::Save: return "save";
    case Action::Reopen: return "close and reopen the file";
  }
  return "?";
}

std::vector<Action> DecodeActions(const std::uint8_t* data, std::size_t size) {
  std::vector<Action> actions;
  std::size_t at = 0;
  auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
  while (at < size) {
    Action a;
    switch (next() % 8) {
      case 0:
      case 1: a.kind = Action::Load; a.row = next(); break;
      case 2:
        a.kind = Action::Type;
        a.control = next();
        for (int n = next() % 12; n > 0; --n) a.text += static_cast<char>(next());
        break;
      case 3: a.kind = Action::Retype; a.control = next(); break;
      case 4: a.kind = Action::Toggle; break;
      case 5: a.kind = Action::Pick; a.item = next() % 8 + 1; a.list = next(); break;
      case 6: a.kind = Action::Save; break;
      default: a.kind = Action::Reopen; break;
    }
    actions.push_back(std::move(a));
  }
  return actions;
}

std::vector<Action> SeededActions(std::uint32_t seed, std::size_t count) {
  static const char* const kTexts[] = {"64", "77", "0", "255", "300", "-5", "abc", "007", "12.5", "5.250", "25.678",
                                       "19850615", "19861301", "1998", "2046", "19120", "15", "16", "65535", "70000",
                                       "", "J", "JAM", "JAMES", "Smith", "\xC9lan", "O'Neal", "a b", "6' 9\"", "6-9",
                                       "81", "7'0", "9' 2\"", "00", "511", "600", "23", "215 Lbs", "3.25", "40",
                                       "12.3456"};
  std::mt19937 random(seed);
  auto pick = [&random](std::size_t n) { return static_cast<std::size_t>(random() % n); };
  std::vector<Action> actions;
  while (actions.size() < count) {
    Action a;
    const std::size_t roll = pick(20);
    if (roll < 2) a.kind = Action::Load, a.row = pick(64);
    else if (roll < 10) a.kind = Action::Type, a.control = pick(64), a.text = kTexts[pick(std::size(kTexts))];
    else if (roll < 12) a.kind = Action::Retype, a.control = pick(64);
    else if (roll < 13) a.kind = Action::Toggle;
    else if (roll < 14) a.kind = Action::Pick, a.item = static_cast<int>(pick(6)) + 1, a.list = pick(7);
    else if (roll < 19) a.kind = Action::Save;
    else a.kind = Action::Reopen;
    actions.push_back(std::move(a));
  }
  return actions;
}

bool Session::Open() {
  CloseRosterView(view_);
  player_ = LoadedPlayer{};
  const auto header = HeaderOffsetFor(path_);
  if (!header) return false;
  rows_ = FillPlayerList(path_, *header);
  return OpenRosterView(view_, path_) == OpenStatus::Ok;
}

std::string Session::Step(const Action& a) {
  const Editable& c = EditableControls()[a.control % EditableControls().size()];
  switch (a.kind) {
    case Action::Load: {
      if (rows_.empty()) return {};
      if (!LoadPlayer(view_, rows_[a.row % rows_.size()].position, pages_, player_)) {
        return "a listed player could not be loaded";
      }
      shown_at_load_.clear();
      overlapped_ = false;
      for (const Editable& e : EditableControls()) shown_at_load_[{e.tab, e.id}] = pages_.GetFieldText(e.tab, e.id);
      edited_ = false;
      return {};
    }
    case Action::Type: input_.Type(c.tab, c.id, a.text); break;
    case Action::Retype: input_.Type(c.tab, c.id, shown_at_load_[{c.tab, c.id}]); break;
    case Action::Toggle: input_.ToggleCheck(kVitalsTab, vitals::kIff); break;
    case Action::Pick: {
      const auto [list, item] = Picked(a);
      input_.PickItem(kVitalsTab, list->control, item);
      break;
    }
    case Action::Save: return CheckSave();
    case Action::Reopen: return Open() ? std::string() : "the file could not be opened again";
  }
  edited_ = true;
  return {};
}

std::string Session::CheckSave() {
  const Bytes before(view_.base, view_.base + view_.size);
  const std::uint32_t p = player_.position;
  const Span names[2] = {NameUnits(pages_, vitals::kFirstName), NameUnits(pages_, vitals::kLastName)};
  const bool loaded = player_.loaded;
  // The check before the save names exactly the edited boxes whose texts the
  // save does not store as typed, and writes nothing.
  std::map<std::pair<int, int>, std::string> typed;
  for (const auto& [control, shown] : player_.state.texts) {
    if (!player_.state.Untouched(pages_, control.first, control.second)) {
      typed[control] = pages_.GetFieldText(control.first, control.second);
    }
  }
  std::set<std::pair<int, int>> named;
  for (const NotAsTyped& n : CheckPlayer(view_, pages_, player_)) named.insert({n.tab, n.id});
  if (!std::equal(before.begin(), before.end(), view_.base)) return "the check before the save wrote to the file";
  const SaveResult saved = SavePlayer(view_, pages_, player_);
  if (saved.saved != loaded) return loaded ? "the loaded player was not saved" : "a save without a loaded player";
  ++saves_;
  const Bytes after(view_.base, view_.base + view_.size);
  const Span record{p - 1u, kRecordSize};
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    if (i >= 4 && !edited_ && !overlapped_) return "a save with nothing edited changed byte " + std::to_string(i);
    if (i >= 4 && !record.Holds(i) && !names[0].Holds(i) && !names[1].Holds(i)) {
      return "a save changed byte " + std::to_string(i) + ", outside the player at " + std::to_string(p);
    }
  }
  edited_ = false;
  if (!loaded) return {};
  if (after.size() >= 4 && test::GetU32(after, 0) != test::ReferenceCrc32(after.data() + 4, after.size() - 4)) {
    return "the stored checksum is not the CRC-32 of bytes 4 ... end";
  }
  // Where a name shares bytes with the record, with the other name or with
  // the checksum, two boxes show the same bytes and the last write wins; a
  // name written over its own reference even moves. Such crafted files keep
  // only the properties above, until another load.
  const Span head{0, 4};
  for (const Span& n : names) {
    if (n.length && (n.Meets(record) || n.Meets(head) || n.Meets(&n == &names[0] ? names[1] : names[0]))) {
      overlapped_ = true;
    }
  }
  if (overlapped_) return {};
  if (HasUnsavedEdits(pages_, player_)) return "the pages show unsaved edits right after a save";
  for (const auto& [control, text] : typed) {
    const bool as_typed = ShowsAsTyped(control.first, control.second, text, pages_.GetFieldText(control.first, control.second));
    if (as_typed == named.contains(control)) {
      return "box " + std::to_string(control.first) + "/" + std::to_string(control.second) + ", typed \"" + Printable(text) +
             "\": the check " + (as_typed ? "named it, but the file shows it as typed" : "missed that the file does not show it as typed");
    }
  }
  const SaveResult again = SavePlayer(view_, pages_, player_);
  if (!std::equal(after.begin(), after.end(), view_.base)) return "saving twice changed the file the second time";
  if (again.first_name != saved.first_name || again.last_name != saved.last_name) return "saving twice changed the row";
  return CheckPagesShowTheFile(saved);
}

std::string Session::CheckPagesShowTheFile(const SaveResult& saved) {
  test::MemoryPages fresh;
  LoadedPlayer reloaded;
  if (!LoadPlayer(view_, player_.position, fresh, reloaded)) return "the saved player could not be loaded again";
  for (const Editable& e : EditableControls()) {
    const std::string shown = pages_.GetFieldText(e.tab, e.id), held = fresh.GetFieldText(e.tab, e.id);
    if (shown == held) continue;
    return "box " + std::to_string(e.tab) + "/" + std::to_string(e.id) + " shows \"" + Printable(shown) +
           "\" but the file holds \"" + Printable(held) + "\"";
  }
  for (int id : ListControls()) {
    if (pages_.GetComboIndex(kVitalsTab, id) != fresh.GetComboIndex(kVitalsTab, id)) {
      return "list " + std::to_string(id) + " shows another item than the file holds";
    }
  }
  if (pages_.GetCheck(kVitalsTab, vitals::kIff) != fresh.GetCheck(kVitalsTab, vitals::kIff)) {
    return "the IFF check box is not what the file holds";
  }
  if (saved.first_name != CellText(fresh.GetFieldText(kVitalsTab, vitals::kFirstName)) ||
      saved.last_name != CellText(fresh.GetFieldText(kVitalsTab, vitals::kLastName))) {
    return "the row's names are not the file's";
  }
  return {};
}

std::string CheckEditingSession(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return {};
  const bool saved_game = data[0] & 0x80;
  const std::size_t script = std::min<std::size_t>(2u * data[1], size - 2);
  const std::uint8_t* file = data + 2;
  const std::size_t file_size = size - 2 - script;
  const Bytes bytes = saved_game ? AsSavedGame(file, file_size) : Bytes(file, file + file_size);
  const std::string path = ScratchPath(saved_game ? ".session.FXG" : ".session.ROS");
  test::WriteFileBytes(path, bytes);
  test::MemoryPages pages;
  MemoryInput input(pages);
  Session session(path, pages, input);
  if (!session.Open()) return {};
  const std::vector<Action> actions = DecodeActions(file + file_size, script);
  for (std::size_t k = 0; k < actions.size(); ++k) {
    if (std::string problem = session.Step(actions[k]); !problem.empty()) {
      return "step " + std::to_string(k + 1) + " (" + Describe(actions[k]) + "): " + problem;
    }
  }
  return {};
}

std::vector<std::uint8_t> SessionInput(const std::string& name, const std::vector<std::uint8_t>& file) {
  const bool saved_game = name.size() > 4 && name.substr(name.size() - 4) == ".FXG";
  const std::size_t skip = saved_game ? std::min(file.size(), kSavedGameFill) : 0;
  // Load the first player; a rating 64 -> 77, save, typed back, save; the
  // first name shortened, save, typed back, save; IFF toggled twice with a
  // save after each; a body shape picked; another player; reopen.
  const std::size_t rating = 17;  // the first box on ATTRIBUTES
  static const std::uint8_t kScript[] = {
      0, 0,  2, rating, 2, '7', '7', 6,  3, rating, 6,  2, 0, 1, 'J', 6,  3, 0, 6,  4, 6,  4, 6,
      5, 1,  6, 1, 1,   2, 30, 3, '3', '0', '0', 6, 6,  7, 0, 2, 6,  3, 30, 6,  5, 2, 6, 0, 0};
  std::vector<std::uint8_t> input(2 + file.size() - skip);
  input[0] = saved_game ? 0x80 : 0;
  input[1] = sizeof kScript / 2;
  std::copy(file.begin() + static_cast<std::ptrdiff_t>(skip), file.end(), input.begin() + 2);
  input.insert(input.end(), std::begin(kScript), std::end(kScript));
  return input;
}

}  // namespace rostrel::fuzz
