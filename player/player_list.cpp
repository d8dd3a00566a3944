#include "player/player_list.h"

#include <algorithm>
#include <vector>

#include "player/names.h"
#include "roster/field.h"
#include "roster/platform.h"

namespace rostrel {

namespace {

std::uint32_t LittleEndian32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// The list fill's own reader: plain reads at an offset through a few cached
// 64 KiB blocks, so that the forward pass over the records and the jumps to the
// names each stay inside a block most of the time.
class BlockReader {
 public:
  explicit BlockReader(const std::string& path) : file_(PlatformOpenForReading(path)) {}
  BlockReader(const BlockReader&) = delete;
  BlockReader& operator=(const BlockReader&) = delete;
  ~BlockReader() { PlatformCloseFile(file_.handle); }

  bool IsOpen() const { return file_.handle != kNoHandle; }
  std::uint64_t Size() const { return file_.size; }

  // Copies n bytes at offset; false when they do not all lie inside the file.
  bool Read(std::uint64_t offset, void* destination, std::size_t n) {
    if (n > file_.size || offset > file_.size - n) return false;
    auto* to = static_cast<std::uint8_t*>(destination);
    while (n > 0) {
      const Slot* slot = Fetch(offset / kBlockSize);
      const std::size_t within = static_cast<std::size_t>(offset % kBlockSize);
      if (!slot || within >= slot->length) return false;
      const std::size_t take = std::min(n, slot->length - within);
      std::copy_n(slot->bytes.data() + within, take, to);
      to += take;
      offset += take;
      n -= take;
    }
    return true;
  }

 private:
  static constexpr std::size_t kBlockSize = 64 * 1024;
  static constexpr int kSlots = 4;
  struct Slot {
    std::uint64_t block = ~0ull;
    std::size_t length = 0;
    std::uint64_t last_use = 0;
    std::vector<std::uint8_t> bytes;
  };

  const Slot* Fetch(std::uint64_t block) {
    ++clock_;
    Slot* victim = &slots_[0];
    for (Slot& slot : slots_) {
      if (slot.block == block) {
        slot.last_use = clock_;
        return &slot;
      }
      if (slot.last_use < victim->last_use) victim = &slot;
    }
    victim->bytes.resize(kBlockSize);
    victim->length = PlatformReadAt(file_.handle, block * kBlockSize, victim->bytes.data(), kBlockSize);
    if (victim->length == 0) {
      victim->block = ~0ull;
      return nullptr;
    }
    victim->block = block;
    victim->last_use = clock_;
    return victim;
  }

  PlatformReadFile file_;
  Slot slots_[kSlots];
  std::uint64_t clock_ = 0;
};

void Tally(const DecodedName& name, ListReport& report) {
  switch (name.how) {
    case NameRead::Closed: break;
    case NameRead::Unterminated: ++report.names_unterminated; break;
    case NameRead::Outside: ++report.names_outside; break;
    case NameRead::Cut: ++report.names_cut; break;
  }
  if (name.wide) ++report.names_wide;
}

}  // namespace

std::string PositionCell(std::uint32_t position) { return " " + std::to_string(position); }

std::uint32_t PositionOfCell(std::string_view cell) { return StoreAsField(ParseFieldNumber(cell), 32); }

std::vector<PlayerEntry> FillPlayerList(const std::string& path, std::uint32_t header_offset, ListReport* report) {
  ListReport local;
  ListReport& found = report ? *report : local;
  found = ListReport{};
  std::vector<PlayerEntry> rows;

  BlockReader in(path);
  if (!in.IsOpen()) {
    found.unreadable = true;
    return rows;
  }
  std::uint8_t header[8];
  if (!in.Read(std::uint64_t{header_offset} + kPlayerCountOffset, header, sizeof header)) {
    found.no_header = true;
    return rows;
  }
  const std::uint32_t count = LittleEndian32(header);
  const std::uint32_t table = RelativeTarget(header_offset + kTableReferenceOffset, LittleEndian32(header + 4));
  found.stored_count = count;

  const std::uint64_t fit = table < in.Size() ? (in.Size() - table) / kRecordSize : 0;
  const auto listed = static_cast<std::uint32_t>(
      std::min<std::uint64_t>({count, static_cast<std::uint64_t>(kMaxPlayers), fit}));
  found.dropped_players = count - listed;

  rows.reserve(listed);
  for (std::uint32_t i = 0; i < listed; ++i) {
    const std::uint32_t record = table + kRecordSize * i;
    std::uint8_t references[8];
    if (!in.Read(record, references, sizeof references)) {
      found.unreadable = true;
      break;
    }
    const DecodedName last = DecodeName(in, RelativeTarget(record, LittleEndian32(references)));
    const DecodedName first = DecodeName(in, RelativeTarget(record + 4, LittleEndian32(references + 4)));
    Tally(last, found);
    Tally(first, found);
    rows.push_back({ShownName(first.text), ShownName(last.text), record + 1});
  }
  return rows;
}

SortOrder NextSortOrder(SortState& state, int column) {
  char& current = state.column[column];
  if (current == 'A') {
    current = 'D';
    return SortOrder::Descending;
  }
  current = 'A';
  return SortOrder::Ascending;
}

int CompareRows(const PlayerEntry& a, const PlayerEntry& b, int column) {
  return column == 1 ? CompareSortText(a.first_name, b.first_name) : CompareSortText(a.last_name, b.last_name);
}

void SortPlayerRows(std::vector<PlayerEntry>& rows, int column, SortOrder order) {
  std::stable_sort(rows.begin(), rows.end(), [column, order](const PlayerEntry& a, const PlayerEntry& b) {
    const int c = CompareRows(a, b, column);
    return order == SortOrder::Ascending ? c < 0 : c > 0;
  });
}

int PlayerRows::RowCount() const { return static_cast<int>(rows_.size()); }

std::string PlayerRows::CellText(int row, int column) const {
  if (row < 1 || row > RowCount()) return {};
  const PlayerEntry& entry = rows_[static_cast<std::size_t>(row - 1)];
  return column == 1 ? entry.first_name : column == 2 ? entry.last_name : PositionCell(entry.position);
}

int FindPlayer(const ListCells& cells, SearchStart& start, std::string_view text) {
  const int count = cells.RowCount();
  const std::string wanted = LowerText(text);
  int first_row = std::max(start.row, 1);
  for (int column = std::max(start.column, 1); column <= 2; ++column) {
    start.column = column;
    for (int row = first_row; row <= count; ++row) {
      if (LowerText(cells.CellText(row, column)) == wanted) {
        start.row = row + 1;
        return row;
      }
    }
    first_row = 1;
  }
  return 0;
}

int SearchNext(const ListCells& cells, SearchStart& start, std::string_view text) {
  const int row = FindPlayer(cells, start, text);
  if (row == 0) start = SearchStart{};
  return row;
}

std::vector<std::size_t> RowsNamed(const std::vector<PlayerEntry>& rows, std::string_view name) {
  const std::string wanted = LowerText(name);
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (LowerText(CellText(rows[i].first_name) + " " + CellText(rows[i].last_name)) == wanted) found.push_back(i);
  }
  return found;
}

}  // namespace rostrel
