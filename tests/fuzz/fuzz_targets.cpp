#include "tests/fuzz/fuzz_targets.h"
#include "tests/fuzz/session.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "player/names.h"
#include "player/player_cycle.h"
#include "tests/memory_pages.h"
#include "tests/roster_builder.h"

namespace rostrel::fuzz {

using test::Bytes;

std::string ScratchPath(const char* extension) {
  static const std::string stem =
      (std::filesystem::temp_directory_path() /
       ("rostrel-fuzz-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
          .string();
  return stem + extension;
}

Bytes AsSavedGame(const std::uint8_t* data, std::size_t size) {
  Bytes file(kSavedGameFill + size, 0xAA);
  if (size) std::memcpy(file.data() + kSavedGameFill, data, size);
  return file;
}

namespace {

constexpr std::size_t kMostPlayersPerInput = 40;

std::string OpenOnce(const std::string& path, const Bytes& bytes) {
  test::WriteFileBytes(path, bytes);
  const auto header = HeaderOffsetFor(path);
  if (!header) return "extension refused for " + path;
  const std::vector<PlayerEntry> rows = FillPlayerList(path, *header);
  RosterView view;
  if (OpenRosterView(view, path) == OpenStatus::Ok) {
    for (const PlayerEntry& row : rows) {
      const std::uint32_t p = row.position;
      if (!RecordInView(view, p)) return "a listed record lies outside the file";
      // Both names through the view, as a load reads them.
      const std::string last = ReadNameAt(view, ResolveRelative(view, p));
      const std::string first = ReadNameAt(view, ResolveRelative(view, p + 4));
      if (last.size() > kMaxNameLength || first.size() > kMaxNameLength) return "a name longer than the longest shown";
    }
    CloseRosterView(view);
  }
  if (test::ReadFileBytes(path) != bytes) return "opening changed the file";
  return {};
}

// Texts for the boxes, cut from the input's last bytes in turn.
class TextSource {
 public:
  TextSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::string Next() {
    if (size_ == 0) return {};
    const std::size_t length = data_[at_ % size_] % 12;
    std::string text;
    for (std::size_t k = 1; k <= length; ++k) text += static_cast<char>(data_[(at_ + k) % size_]);
    at_ += length + 1;
    return text;
  }
  std::uint8_t Byte() { return size_ ? data_[at_++ % size_] : 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

bool Inside(std::size_t offset, std::uint64_t first, std::uint64_t length) {
  return offset >= first && offset - first < length;
}

std::string CheckChecksum(const RosterView& view) {
  if (view.size < 4) return {};
  Bytes bytes(view.base, view.base + view.size);
  if (test::GetU32(bytes, 0) != test::ReferenceCrc32(bytes.data() + 4, bytes.size() - 4)) {
    return "the stored checksum is not the CRC-32 of bytes 4 ... end";
  }
  return {};
}

// Loads and saves up to kMostPlayersPerInput listed players; edit fills the
// pages between the load and the save, allowed says which bytes a save may change.
template <typename Edit, typename Allowed>
std::string Round(const std::string& path, const Bytes& bytes, Edit edit, Allowed allowed) {
  test::WriteFileBytes(path, bytes);
  const auto header = HeaderOffsetFor(path);
  if (!header) return "extension refused";
  const std::vector<PlayerEntry> rows = FillPlayerList(path, *header);
  RosterView view;
  if (OpenRosterView(view, path) != OpenStatus::Ok) {
    if (test::ReadFileBytes(path) != bytes) return "a refused open changed the file";
    return {};
  }
  for (std::size_t r = 0; r < rows.size() && r < kMostPlayersPerInput; ++r) {
    const std::uint32_t p = rows[r].position;
    test::MemoryPages pages;
    LoadedPlayer player;
    if (!LoadPlayer(view, p, pages, player)) return "a listed player could not be loaded";
    edit(pages);
    const Bytes before(view.base, view.base + view.size);
    // Where the names lie as the save finds them: a save may move them, when
    // a crafted name overlaps its own reference.
    const test::MemoryPages shown = pages;
    const SaveResult saved = SavePlayer(view, pages, player);
    for (std::size_t i = 0; i < before.size(); ++i) {
      if (view.base[i] != before[i] && !allowed(i, p, shown)) {
        return "a save changed byte " + std::to_string(i) + " of the player at " + std::to_string(p);
      }
    }
    if (saved.saved) {
      if (std::string problem = CheckChecksum(view); !problem.empty()) return problem;
    }
  }
  CloseRosterView(view);
  return {};
}

}  // namespace

std::string CheckOpenPath(const std::uint8_t* data, std::size_t size) {
  const Bytes bytes(data, data + size);
  for (const auto& [extension, file] :
       {std::pair<const char*, Bytes>{".ROS", bytes}, {".FXG", bytes}, {".fxg", AsSavedGame(data, size)}}) {
    if (std::string problem = OpenOnce(ScratchPath(extension), file); !problem.empty()) {
      return std::string(extension) + ": " + problem;
    }
  }
  return {};
}

std::string CheckEditRound(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return {};
  const bool saved_game = data[0] & 0x80;
  const std::size_t text_bytes = std::min<std::size_t>(data[0] & 0x7F, size - 1);
  const std::uint8_t* file = data + 1;
  const std::size_t file_size = size - 1 - text_bytes;
  TextSource texts(file + file_size, text_bytes);
  const std::vector<Editable> controls = EditableControls();
  auto edit = [&](test::MemoryPages& pages) {
    for (const Editable& c : controls) pages.Type(c.tab, c.id, texts.Next());
    pages.SetComboIndex(kVitalsTab, vitals::kBodyShape, texts.Byte() % 4);
    pages.SetCheck(kVitalsTab, vitals::kIff, texts.Byte() % 2 ? 1 : 4);
  };
  auto allowed = [](std::size_t i, std::uint32_t p, const test::MemoryPages& pages) {
    auto name_units = [&](int id) {
      // A name is written over its stored units: two bytes for each shown character.
      const std::uint32_t q = pages.GetRemembered(kVitalsTab, id);
      return q != 0 && Inside(i, q - 1, 2ull * pages.GetFieldLimit(kVitalsTab, id));
    };
    return i < 4 || Inside(i, p - 1, kRecordSize) || name_units(vitals::kFirstName) || name_units(vitals::kLastName);
  };
  const Bytes bytes = saved_game ? AsSavedGame(file, file_size) : Bytes(file, file + file_size);
  return Round(ScratchPath(saved_game ? ".FXG" : ".ROS"), bytes, edit, allowed);
}

std::string CheckNoEditRound(const std::uint8_t* data, std::size_t size) {
  const Bytes bytes(data, data + size);
  auto untouched = [](test::MemoryPages&) {};
  auto only_checksum = [](std::size_t i, std::uint32_t, const test::MemoryPages&) { return i < 4; };
  if (std::string problem = Round(ScratchPath(".ROS"), bytes, untouched, only_checksum); !problem.empty()) return problem;
  return Round(ScratchPath(".fxg"), AsSavedGame(data, size), untouched, only_checksum);
}

std::vector<std::pair<std::string, Bytes>> SeedCorpus() {
  using test::RosterBuilder;
  using test::U16;
  std::vector<std::pair<std::string, Bytes>> seeds;
  auto good = [] {
    return RosterBuilder().Add(U16("Tony"), U16("Parker")).Add(U16("Tim"), U16("Duncan")).Add(U16("Manu"), U16("Ginobili"));
  };
  const test::Built ros = good().Build();
  seeds.emplace_back("good.ROS", ros.bytes);
  seeds.emplace_back("good.FXG", RosterBuilder(test::Kind::Fxg).Add(U16("Kobe"), U16("Bryant")).AddMany(2).Build().bytes);
  seeds.emplace_back("many.ROS", RosterBuilder().AddMany(200).Build().bytes);

  auto variant = [&](const char* name, auto change) {
    Bytes b = ros.bytes;
    change(b);
    seeds.emplace_back(name, b);
  };
  variant("count-above-32767.ROS", [](Bytes& b) { test::PutU32(b, 0x1C, 40000); });
  variant("count-beyond-file.ROS", [](Bytes& b) { test::PutU32(b, 0x1C, 90); });
  variant("table-outside.ROS", [](Bytes& b) { test::PutU32(b, 0x20, 0x7FFFFFF0u); });
  variant("table-negative.ROS", [](Bytes& b) { test::PutU32(b, 0x20, 0xFFFFFF00u); });
  variant("names-outside.ROS", [&](Bytes& b) {
    test::PutU32(b, ros.table, 0x40000000u);
    test::PutU32(b, ros.table + 4, 0xFFFF0000u);
  });
  variant("name-unterminated.ROS", [&](Bytes& b) {
    // The last name of the file ends the file with no closing unit.
    const std::uint32_t at = *std::max_element(ros.last_name_at.begin(), ros.last_name_at.end());
    b.resize(at + 6);
    for (std::size_t i = at; i < b.size(); i += 2) test::PutU16(b, i, 'x');
  });
  variant("name-wide-units.ROS", [&](Bytes& b) {
    test::PutU16(b, ros.first_name_at[0], 0x0141);
    test::PutU16(b, ros.last_name_at[1] + 2, 0x2019);
  });
  variant("name-zero-length.ROS", [&](Bytes& b) { test::PutU16(b, ros.first_name_at[2], 0); });
  for (std::size_t length : {0, 3, 4, 35}) {
    seeds.emplace_back("short-" + std::to_string(length) + ".ROS", Bytes(ros.bytes.begin(), ros.bytes.begin() + std::min(length, ros.bytes.size())));
  }
  seeds.emplace_back("fxg-shorter-than-header.FXG", Bytes(30000, 0x11));
  for (auto& [name, bytes] : seeds) {
    if (bytes.size() >= 4) test::StoreChecksum(bytes);
  }
  return seeds;
}

std::vector<std::uint8_t> EditInput(const std::string& name, const std::vector<std::uint8_t>& file) {
  const bool saved_game = name.size() > 4 && (name.substr(name.size() - 4) == ".FXG");
  // A saved game's edit input holds only the roster part behind the header area.
  const std::size_t skip = saved_game ? std::min(file.size(), kSavedGameFill) : 0;
  // Texts a user might type: names, numbers, a date, a salary, junk.
  static constexpr std::string_view kTexts = "\x05Smith\x02""99\x08""19840230\x03""abc\x01""0\x04""12.5";
  std::vector<std::uint8_t> input(1 + (file.size() - skip) + kTexts.size());
  input[0] = static_cast<std::uint8_t>((saved_game ? 0x80 : 0) | kTexts.size());
  std::copy(file.begin() + static_cast<std::ptrdiff_t>(skip), file.end(), input.begin() + 1);
  std::copy(kTexts.begin(), kTexts.end(), input.end() - static_cast<std::ptrdiff_t>(kTexts.size()));
  return input;
}

}  // namespace rostrel::fuzz
