#include "tests/fuzz/session.h"

#include <algorithm>
#include <random>
#include <set>

#include "player/grid_sheet.h"
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

// The editable fields of the list, as the grid's actions name them.
const Field& GridField(std::size_t k) {
  static const std::vector<const Field*> all = [] {
    std::vector<const Field*> v;
    for (const Field& f : Fields()) {
      if (f.editable()) v.push_back(&f);
    }
    return v;
  }();
  return *all[k % all.size()];
}

std::string Quoted(const std::string& cell) {
  std::string out = "\"";
  for (char c : cell) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
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
    case Action::CellEdit:
      return "edit " + GridField(a.control).label + " of row " + std::to_string(a.row) + " to \"" + Printable(a.text) + "\"";
    case Action::Set:
      return "set " + GridField(a.control).label + " of " + std::to_string(a.count) + " rows from " + std::to_string(a.row) +
             " to \"" + Printable(a.text) + "\"";
    case Action::Paste:
      return "paste \"" + Printable(a.text) + "\" into " + GridField(a.control).label + " of " + std::to_string(a.count) +
             " rows from " + std::to_string(a.row) + " by record position";
    case Action::Undo: return "Ctrl+Z";
  }
  return "?";
}

std::vector<Action> DecodeActions(const std::uint8_t* data, std::size_t size) {
  std::vector<Action> actions;
  std::size_t at = 0;
  auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
  while (at < size) {
    Action a;
    switch (next() % 12) {
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
      case 7: a.kind = Action::Reopen; break;
      case 11: a.kind = Action::Undo; break;
      default:
        a.kind = next() % 3 == 0 ? Action::CellEdit : next() % 2 ? Action::Set : Action::Paste;
        a.row = next();
        a.count = next() % 6 + 1;
        a.control = next();
        for (int n = next() % 8; n > 0; --n) a.text += static_cast<char>(next());
        break;
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
    else if (roll < 17) a.kind = Action::Save;
    else if (roll < 18) a.kind = Action::Reopen;
    else if (roll < 19) a.kind = Action::Undo;
    else {
      static const char* const kGridTexts[] = {"+5", "-5", "+300", "-2.5", "Center", "po", "1", "0", "Bob"};
      a.kind = pick(3) == 0 ? Action::CellEdit : pick(2) ? Action::Set : Action::Paste;
      a.row = pick(64), a.count = pick(6) + 1, a.control = pick(128);
      a.text = pick(2) ? kTexts[pick(std::size(kTexts))] : kGridTexts[pick(std::size(kGridTexts))];
    }
    actions.push_back(std::move(a));
  }
  return actions;
}

bool Session::Open() {
  CloseRosterView(view_);
  player_ = LoadedPlayer{};
  grid_.Clear();
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
      // Another player keeps this one's edits, and shows his own.
      if (player_.loaded) grid_.NotePages(view_, pages_, player_);
      const std::uint32_t position = rows_[a.row % rows_.size()].position;
      if (!LoadPlayer(view_, position, pages_, player_)) return "a listed player could not be loaded";
      shown_at_load_.clear();
      overlapped_ = false;
      for (const Editable& e : EditableControls()) shown_at_load_[{e.tab, e.id}] = pages_.GetFieldText(e.tab, e.id);
      grid_.ShowIn(pages_, position);
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
    default: return GridStep(a);
  }
  // A page edit shows in the player's cells.
  if (player_.loaded) grid_.NotePages(view_, pages_, player_);
  return {};
}

void Session::ShowLoaded() {
  if (!player_.loaded) return;
  const std::uint32_t position = player_.position;
  LoadPlayer(view_, position, pages_, player_);
  grid_.ShowIn(pages_, position);
}

std::string Session::GridStep(const Action& a) {
  if (a.kind == Action::Undo) {
    const std::size_t before = grid_.CellCount();
    const auto touched = grid_.Undo();
    if (!touched) return {};
    if (touched->empty() && grid_.CellCount() != before) return "an undo of nothing changed the edits";
    ShowLoaded();
    return {};
  }
  if (rows_.empty()) return {};
  const Field& field = GridField(a.control);
  std::vector<std::uint32_t> players;
  for (std::size_t k = 0; k < a.count && k < rows_.size(); ++k) players.push_back(rows_[(a.row + k) % rows_.size()].position);
  std::vector<CellEdit> edits;
  std::vector<std::string> problems;
  if (a.kind == Action::CellEdit) {
    edits.push_back({players.front(), &field, a.text});
  } else if (a.kind == Action::Set) {
    edits = SetEdits(view_, grid_, players, field, a.text, problems);
  } else {
    std::string block = std::string(kRecordLabel) + "\t" + field.label + "\r\n";
    for (std::uint32_t p : players) block += std::to_string(p) + "\t" + Quoted(a.text) + "\r\n";
    PasteTarget target;
    for (const PlayerEntry& row : rows_) target.players.push_back(row.position);
    PastePlan plan = PlanPaste(view_, grid_, block, target);
    problems = plan.problems;
    edits = std::move(plan.edits);
  }
  const std::size_t before = grid_.CellCount();
  const std::vector<PendingEdits::Problem> refused = problems.empty() ? grid_.Apply(view_, edits) : std::vector<PendingEdits::Problem>{};
  if ((!problems.empty() || !refused.empty()) && grid_.CellCount() != before) return "a refused edit changed the edits";
  if (a.kind == Action::Paste && problems.empty() && !refused.empty()) return "a paste the plan took was refused: " + refused[0].why;
  // Every edit taken shows in its cell as the box would hold it.
  for (std::size_t k = 0; refused.empty() && problems.empty() && k < edits.size(); ++k) {
    std::string why;
    const auto held = TypedFieldText(view_, edits[k].position, *edits[k].field, edits[k].text, why);
    const std::string shown = grid_.Text(view_, edits[k].position, *edits[k].field);
    if (!held || !ShowsAsTyped(*edits[k].field, *held, shown)) return "the cell shows \"" + Printable(shown) + "\" after the edit";
  }
  ShowLoaded();
  return {};
}

std::string Session::CheckSave() {
  if (player_.loaded) grid_.NotePages(view_, pages_, player_);
  const Bytes before(view_.base, view_.base + view_.size);
  // The bytes a save may change: the checksum, and each edited player's record and name units.
  std::vector<Span> records, names;
  std::map<std::pair<std::uint32_t, const Field*>, std::string> typed;
  for (std::uint32_t p : grid_.Players()) {
    test::MemoryPages pages;
    LoadedPlayer loaded;
    if (!LoadPlayer(view_, p, pages, loaded)) return "an edited player could not be loaded";
    records.push_back({p - 1u, kRecordSize});
    names.push_back(NameUnits(pages, vitals::kFirstName));
    names.push_back(NameUnits(pages, vitals::kLastName));
    for (const auto& [field, text] : grid_.EditsOf(p)) typed[{p, field}] = text;
  }
  // The check before the save names exactly the edited cells whose texts the
  // save does not store as typed, and writes nothing.
  std::set<std::pair<std::uint32_t, const Field*>> named;
  PendingSave save(view_, grid_);
  if (!std::equal(before.begin(), before.end(), view_.base)) return "the check before the save wrote to the file";
  for (const CellNotAsTyped& n : save.not_as_typed()) named.insert({n.position, n.field});
  const CommitResult committed = save.Commit(nullptr);
  if (!committed.ok) return "the save failed: " + committed.reason;
  ++saves_;
  const Bytes after(view_.base, view_.base + view_.size);
  auto holds = [](const std::vector<Span>& spans, std::uint64_t i) {
    return std::any_of(spans.begin(), spans.end(), [i](const Span& s) { return s.Holds(i); });
  };
  for (std::size_t i = 4; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    if (typed.empty()) return "a save with nothing edited changed byte " + std::to_string(i);
    if (!holds(records, i) && !holds(names, i)) return "a save changed byte " + std::to_string(i) + ", outside the edited players";
  }
  grid_.Clear();
  ShowLoaded();
  if (typed.empty()) return {};
  if (after.size() >= 4 && test::GetU32(after, 0) != test::ReferenceCrc32(after.data() + 4, after.size() - 4)) {
    return "the stored checksum is not the CRC-32 of bytes 4 ... end";
  }
  // Where a name shares bytes with a record, with another name or with the
  // checksum, two cells show the same bytes and the last write wins; a name
  // written over its own reference even moves. Such crafted files keep only
  // the properties above, until another load.
  const Span head{0, 4};
  for (std::size_t k = 0; k < names.size(); ++k) {
    const Span& n = names[k];
    if (!n.length) continue;
    bool meets = n.Meets(head);
    for (const Span& r : records) meets = meets || n.Meets(r);
    for (std::size_t j = 0; j < names.size(); ++j) meets = meets || (j != k && n.Meets(names[j]));
    if (meets) overlapped_ = true;
  }
  if (overlapped_) return {};
  if (std::string differs = CheckOneByOne(before, typed); !differs.empty()) return differs;
  if (player_.loaded && HasUnsavedEdits(pages_, player_)) return "the pages show unsaved edits right after a save";
  for (const auto& [cell, text] : typed) {
    const bool as_typed = ShowsAsTyped(*cell.second, text, ReadFieldText(view_, cell.first, *cell.second));
    if (as_typed == named.contains(cell)) {
      return "@" + std::to_string(cell.first) + " " + cell.second->label + ", typed \"" + Printable(text) + "\": the check " +
             (as_typed ? "named it, but the file shows it as typed" : "missed that the file does not show it as typed");
    }
  }
  PendingSave nothing(view_, grid_);
  if (!nothing.Commit(nullptr).ok || !std::equal(after.begin(), after.end(), view_.base)) {
    return "saving again with nothing edited changed the file";
  }
  return CheckPagesShowTheFile();
}

// The same edits typed into each player's pages and saved one player at a
// time, on a copy of the file as it was: the same bytes.
std::string Session::CheckOneByOne(const Bytes& before, const std::map<std::pair<std::uint32_t, const Field*>, std::string>& typed) {
  const std::string copy = ScratchPath(path_.ends_with(".FXG") ? ".one-by-one.FXG" : ".one-by-one.ROS");
  test::WriteFileBytes(copy, before);
  RosterView view;
  if (OpenRosterView(view, copy) != OpenStatus::Ok) return "the copy could not be opened";
  std::string problem;
  for (auto cell = typed.begin(); cell != typed.end() && problem.empty();) {
    test::MemoryPages pages;
    LoadedPlayer player;
    LoadPlayer(view, cell->first.first, pages, player);
    const std::uint32_t position = cell->first.first;
    for (; cell != typed.end() && cell->first.first == position; ++cell) {
      std::string why;
      if (!PutFieldText(pages, *cell->first.second, cell->second, why)) problem = "a kept edit cannot be typed: " + why;
    }
    if (problem.empty() && !SavePlayer(view, pages, player).saved) problem = "a player could not be saved alone";
  }
  if (problem.empty() && !std::equal(view.base, view.base + view.size, view_.base, view_.base + view_.size)) {
    for (std::size_t i = 0; i < view.size && problem.empty(); ++i) {
      if (view.base[i] != view_.base[i]) problem = "saving the players one at a time wrote other bytes, at " + std::to_string(i);
    }
  }
  CloseRosterView(view);
  return problem;
}

std::string Session::CheckPagesShowTheFile() {
  if (!player_.loaded) return {};
  test::MemoryPages fresh;
  LoadedPlayer reloaded;
  if (!LoadPlayer(view_, player_.position, fresh, reloaded)) return "the loaded player could not be loaded again";
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
  return {};
}

// Players whose vitals reach every case the pages treat apart: each body-shape
// code (3 names no item), codes of the other lists outside their tables, IFF
// bytes 0, 1, 4 and 7, names with characters above 0x7F, a unit above 0xFF,
// and a stored name of length 0.
Bytes SessionRoster() {
  test::RosterBuilder builder;
  builder.Add(test::U16("JAMES"), test::U16("Parker"))
      .Add(u"\u00C9lan", test::U16("Duncan"))
      .Add(test::U16("Tim"), u"B\u0141ock")
      .Add(test::U16("Manu"), test::U16(""))
      .Add(test::U16("Bruce"), test::U16("Bowen"));
  const std::uint8_t iff[] = {0, 1, 4, 7, 4};
  for (std::size_t i = 0; i < 5; ++i) {
    auto& r = builder.Record(i);
    r[112] = static_cast<std::uint8_t>((r[112] & ~0x60) | ((i % 4) << 5));
    r[120] = iff[i];
    r[436] = 64;
    r[153] = static_cast<std::uint8_t>(90 + 10 * i);  // draft years 1990 ... 2030
    r[32] = static_cast<std::uint8_t>(3 + i);          // roles 3 ... 7: the last three have no item
    r[109] = static_cast<std::uint8_t>(2 + 2 * i);     // positions 2 ... 10
    r[410] = static_cast<std::uint8_t>(i % 3);         // hands 0, 1, 2
  }
  return builder.Build().bytes;
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
