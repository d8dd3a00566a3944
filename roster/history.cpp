#include "roster/history.h"

#include <algorithm>

#include "roster/byte_io.h"
#include "roster/checksum.h"
#include "roster/platform.h"
#include "roster/roster_file.h"

namespace rostrel {

namespace {

constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kEntryTrailer = 8;  // the size again and the CRC-32
constexpr std::size_t kSmallestEntry = 37 + 2 + 4 + 4 + 4 + 4 + kEntryTrailer;
constexpr std::uint8_t kHeader[kHeaderSize] = {'R', 'S', 'T', 'H', kVersion, 0, 0, 0};

bool HasMagic(const std::uint8_t* at, const char* magic) { return std::equal(at, at + 4, magic); }

// The size an entry at bytes claims, when its magic is there and the claim fits in n bytes.
std::size_t ClaimedSize(const std::uint8_t* bytes, std::size_t n) {
  if (n < kSmallestEntry || !HasMagic(bytes, "RSTE")) return 0;
  const std::uint64_t size = NumberAt(bytes + 4, 4);
  return size >= kSmallestEntry && size <= n ? static_cast<std::size_t>(size) : 0;
}

// "<history>.damaged", or with a number behind it when that name is taken.
std::string DamagedPathFor(const std::string& history_path) {
  const std::string first = history_path + ".damaged";
  std::string path = first;
  for (int n = 2; GetFileSizeByName(path); ++n) path = first + std::to_string(n);
  return path;
}

// One whole entry at offset of the file, read through its trailer: the newest
// entry of a history that ends cleanly, found without reading the others.
std::optional<HistoryEntry> LastEntry(NativeHandle handle, std::uint64_t size) {
  if (size < kHeaderSize + kSmallestEntry) return std::nullopt;
  std::uint8_t trailer[kEntryTrailer];
  if (PlatformReadAt(handle, size - kEntryTrailer, trailer, kEntryTrailer) != kEntryTrailer) return std::nullopt;
  const std::uint64_t n = NumberAt(trailer, 4);
  if (n < kSmallestEntry || n > size - kHeaderSize) return std::nullopt;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
  if (PlatformReadAt(handle, size - n, bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return DecodeHistoryEntry(bytes.data(), bytes.size());
}

// Where each readable entry of a history's bytes lies.
struct Walk {
  HistoryFile file;
  std::vector<std::pair<std::size_t, std::size_t>> places;  // (offset, size) of each entry in file.entries
  std::size_t whole_end = kHeaderSize;                      // the end of the last whole entry
};

Walk WalkHistory(const std::vector<std::uint8_t>& bytes, std::uint64_t roster_size) {
  Walk w;
  HistoryFile& h = w.file;
  if (bytes.empty()) {  // created, never written: no history yet
    w.whole_end = 0;
    return w;
  }
  if (bytes.size() < kHeaderSize || !std::equal(kHeader, kHeader + kHeaderSize, bytes.begin())) {
    h.status = HistoryStatus::NotAHistory;
    h.problem = "it is not a history of writes (it does not begin as one)";
    w.whole_end = 0;
    return w;
  }
  h.status = HistoryStatus::Sound;
  std::size_t at = kHeaderSize;
  std::size_t damaged_at = 0;
  bool damaged = false;
  while (at < bytes.size()) {
    const std::size_t size = ClaimedSize(bytes.data() + at, bytes.size() - at);
    std::optional<HistoryEntry> entry;
    if (size) entry = DecodeHistoryEntry(bytes.data() + at, size);
    if (entry) {
      if (damaged) {
        h.status = HistoryStatus::Damaged;
        h.first_usable = h.entries.size();
        h.problem = "the entry at byte " + std::to_string(damaged_at) + " is damaged: the writes before it cannot be "
                    "undone or redone";
        damaged = false;
      }
      h.entries.push_back(std::move(*entry));
      w.places.emplace_back(at, size);
      at += size;
      w.whole_end = at;
      continue;
    }
    // Not an entry here: look for the next one that reads, a byte on.
    if (!damaged) damaged_at = at;
    damaged = true;
    ++at;
  }
  if (damaged && h.status == HistoryStatus::Sound) {
    h.status = HistoryStatus::TornTail;
    h.problem = "its last entry, at byte " + std::to_string(damaged_at) +
                ", is cut short (a write stopped half-way); the next write cuts it off";
  }
  if (!h.entries.empty() && h.entries.back().file_size != roster_size) {
    h.status = HistoryStatus::Foreign;
    h.problem = "it belongs to another roster: its newest write was to a file of " +
                std::to_string(h.entries.back().file_size) + " bytes, and this one has " + std::to_string(roster_size);
    h.first_usable = h.entries.size();
  }
  return w;
}

}  // namespace

std::string HistoryPathFor(const std::string& roster_path) { return roster_path + ".history"; }

std::vector<std::uint8_t> EncodeHistoryEntry(const HistoryEntry& e) {
  std::vector<std::uint8_t> out{'R', 'S', 'T', 'E', 0, 0, 0, 0};
  PutNumber(out, e.number, 4);
  PutNumber(out, static_cast<std::uint64_t>(e.time), 8);
  PutNumber(out, e.file_size, 8);
  PutNumber(out, e.checksum_before, 4);
  PutNumber(out, e.checksum_after, 4);
  PutNumber(out, static_cast<std::uint8_t>(e.kind), 1);
  const std::string what = e.what.substr(0, 0xFFFF);
  PutNumber(out, what.size(), 2);
  out.insert(out.end(), what.begin(), what.end());
  PutNumber(out, e.targets.size(), 4);
  for (std::uint32_t t : e.targets) PutNumber(out, t, 4);
  PutNumber(out, e.players.size(), 4);
  for (const HistoryPlayer& p : e.players) {
    PutNumber(out, p.position, 4);
    for (const std::string* name : {&p.first_name, &p.last_name}) {
      const std::string cut = name->substr(0, 0xFF);
      PutNumber(out, cut.size(), 1);
      out.insert(out.end(), cut.begin(), cut.end());
    }
  }
  PutNumber(out, e.field_count, 4);
  PutRanges(out, e.ranges);
  const std::uint64_t size = out.size() + kEntryTrailer;
  for (int i = 0; i < 4; ++i) out[4 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
  PutNumber(out, size, 4);
  PutNumber(out, Crc32(out.data(), out.size(), 0), 4);
  return out;
}

std::optional<HistoryEntry> DecodeHistoryEntry(const std::uint8_t* bytes, std::size_t n) {
  if (n < kSmallestEntry || !HasMagic(bytes, "RSTE") || NumberAt(bytes + 4, 4) != n || NumberAt(bytes + n - 8, 4) != n ||
      NumberAt(bytes + n - 4, 4) != Crc32(bytes, n - 4, 0)) {
    return std::nullopt;
  }
  ByteReader in(bytes + 8, n - 8 - kEntryTrailer);
  HistoryEntry e;
  std::uint64_t number = 0, time = 0, before = 0, after = 0, kind = 0, length = 0, count = 0, fields = 0;
  if (!in.Number(number, 4) || !in.Number(time, 8) || !in.Number(e.file_size, 8) || !in.Number(before, 4) ||
      !in.Number(after, 4) || !in.Number(kind, 1) || kind > 2 || !in.Number(length, 2) || !in.Bytes(e.what, length) ||
      !in.Number(count, 4)) {
    return std::nullopt;
  }
  e.number = static_cast<std::uint32_t>(number);
  e.time = static_cast<std::int64_t>(time);
  e.checksum_before = static_cast<std::uint32_t>(before);
  e.checksum_after = static_cast<std::uint32_t>(after);
  e.kind = static_cast<HistoryKind>(kind);
  for (std::uint64_t k = 0; k < count; ++k) {
    std::uint64_t target = 0;
    if (!in.Number(target, 4)) return std::nullopt;
    e.targets.push_back(static_cast<std::uint32_t>(target));
  }
  if (!in.Number(count, 4)) return std::nullopt;
  for (std::uint64_t k = 0; k < count; ++k) {
    HistoryPlayer p;
    std::uint64_t position = 0, first = 0, last = 0;
    if (!in.Number(position, 4) || !in.Number(first, 1) || !in.Bytes(p.first_name, first) || !in.Number(last, 1) ||
        !in.Bytes(p.last_name, last)) {
      return std::nullopt;
    }
    p.position = static_cast<std::uint32_t>(position);
    e.players.push_back(std::move(p));
  }
  if (!in.Number(fields, 4) || !ReadRanges(in, e.ranges) || !in.AtEnd()) return std::nullopt;
  e.field_count = static_cast<std::uint32_t>(fields);
  return e;
}

HistoryFile ReadHistory(const std::string& roster_path, std::uint64_t roster_size) {
  const std::optional<std::vector<std::uint8_t>> bytes = PlatformReadWholeFile(HistoryPathFor(roster_path));
  if (!bytes) return {};
  return WalkHistory(*bytes, roster_size).file;
}

bool HistoryState::IsUndone(std::uint32_t number) const {
  return std::find(undone.begin(), undone.end(), number) != undone.end();
}

HistoryState ReplayHistory(const HistoryFile& history) {
  HistoryState s;
  auto take = [](std::vector<std::uint32_t>& from, std::uint32_t number) {
    if (from.empty() || from.back() != number) return false;
    from.pop_back();
    return true;
  };
  for (std::size_t i = history.first_usable; i < history.entries.size(); ++i) {
    const HistoryEntry& e = history.entries[i];
    switch (e.kind) {
      case HistoryKind::Write:
        s.done.push_back(e.number);
        s.redoable.clear();
        break;
      case HistoryKind::Undo:
        for (std::uint32_t t : e.targets) {
          if (!take(s.done, t)) break;
          s.redoable.push_back(t);
          s.undone.push_back(t);
        }
        break;
      case HistoryKind::Redo:
        for (std::uint32_t t : e.targets) {
          if (!take(s.redoable, t)) break;
          s.done.push_back(t);
          s.undone.erase(std::remove(s.undone.begin(), s.undone.end(), t), s.undone.end());
        }
        break;
    }
  }
  return s;
}

const HistoryEntry* FindEntry(const HistoryFile& history, std::uint32_t number) {
  for (std::size_t i = history.first_usable; i < history.entries.size(); ++i) {
    if (history.entries[i].number == number) return &history.entries[i];
  }
  return nullptr;
}

HistoryTail FindHistoryTail(const std::string& roster_path, std::uint64_t roster_size) {
  const std::string path = HistoryPathFor(roster_path);
  HistoryTail tail;
  const PlatformReadFile file = PlatformOpenForReading(path);
  if (file.handle == kNoHandle) {
    if (GetFileSizeByName(path)) {
      tail.problem = path + " cannot be read";
      return tail;
    }
    tail.usable = true;  // a new history
    return tail;
  }
  if (file.size == 0) {  // created, never written: a new history
    PlatformCloseFile(file.handle);
    tail.usable = true;
    return tail;
  }
  std::uint8_t header[kHeaderSize] = {};
  const bool begins_well = PlatformReadAt(file.handle, 0, header, kHeaderSize) == kHeaderSize &&
                           std::equal(kHeader, kHeader + kHeaderSize, header);
  std::optional<HistoryEntry> last = begins_well ? LastEntry(file.handle, file.size) : std::nullopt;
  PlatformCloseFile(file.handle);
  tail.append_at = file.size;
  if (begins_well && !last) {
    // A torn or damaged end: the whole file tells where its whole entries end.
    const std::optional<std::vector<std::uint8_t>> bytes = PlatformReadWholeFile(path);
    if (!bytes) {
      tail.problem = path + " cannot be read";
      return tail;
    }
    const Walk walk = WalkHistory(*bytes, roster_size);
    if (!walk.file.entries.empty()) last = walk.file.entries.back();
    tail.append_at = walk.whole_end;
  }
  const bool foreign = last && last->file_size != roster_size;
  if (!begins_well || foreign) {
    // Not a history of this roster: moved aside, never deleted, and a new one begins.
    const std::string aside = DamagedPathFor(path);
    if (!PlatformRename(path, aside) || !PlatformSyncFolderOf(aside)) {
      tail.problem = path + " is not a sound history of this roster and cannot be moved aside";
      return tail;
    }
    tail.problem = path + (foreign ? " belonged to another roster" : " was damaged") + "; it was moved aside as " + aside +
                   " and a new history begins";
    tail.usable = true;
    tail.append_at = 0;
    return tail;
  }
  tail.usable = true;
  if (last) {
    tail.has_last = true;
    tail.last_number = last->number;
    tail.last_checksum = last->checksum_after;
  }
  return tail;
}

namespace {

// The header and the newest whole entries that fit within a quarter under the
// limit, then the new entry: the next appends then go on for a while before
// the history is pruned again.
std::vector<std::uint8_t> Pruned(const std::vector<std::uint8_t>& old, std::uint64_t roster_size,
                                 const std::vector<std::uint8_t>& entry, std::uint64_t limit) {
  const Walk walk = WalkHistory(old, roster_size);
  const std::uint64_t room = limit - limit / 4;
  std::uint64_t kept = kHeaderSize + entry.size();
  std::size_t first = walk.places.size();
  while (first > 0 && kept + walk.places[first - 1].second <= room) kept += walk.places[--first].second;
  std::vector<std::uint8_t> out(kHeader, kHeader + kHeaderSize);
  for (std::size_t i = first; i < walk.places.size(); ++i) {
    const auto [at, size] = walk.places[i];
    out.insert(out.end(), old.begin() + static_cast<std::ptrdiff_t>(at),
               old.begin() + static_cast<std::ptrdiff_t>(at + size));
  }
  out.insert(out.end(), entry.begin(), entry.end());
  return out;
}

}  // namespace

std::string AppendHistoryEntry(const std::string& roster_path, std::uint64_t append_at,
                               const std::vector<std::uint8_t>& entry, std::uint64_t limit) {
  const std::string path = HistoryPathFor(roster_path);
  const std::string failed = "the history " + path + " could not be written";
  if (append_at == 0) {
    std::vector<std::uint8_t> fresh(kHeader, kHeader + kHeaderSize);
    fresh.insert(fresh.end(), entry.begin(), entry.end());
    return PlatformWriteTail(path, 0, fresh.data(), fresh.size()) && PlatformSyncFolderOf(path) ? "" : failed;
  }
  if (append_at + entry.size() <= limit) {
    return PlatformWriteTail(path, append_at, entry.data(), entry.size()) ? "" : failed;
  }
  // Pruned into a new file, which then takes the old one's place in one step.
  const std::optional<std::vector<std::uint8_t>> old = PlatformReadWholeFile(path);
  if (!old) return failed;
  const std::uint64_t roster_size = DecodeHistoryEntry(entry.data(), entry.size())->file_size;
  const std::vector<std::uint8_t> pruned = Pruned(*old, roster_size, entry, limit);
  const std::string next = path + ".new";
  if (!PlatformWriteTail(next, 0, pruned.data(), pruned.size()) || !PlatformRename(next, path) ||
      !PlatformSyncFolderOf(path)) {
    return failed;
  }
  return {};
}

std::string CompleteHistoryEntry(const std::string& roster_path, std::uint64_t append_at,
                                 const std::vector<std::uint8_t>& entry) {
  const std::string path = HistoryPathFor(roster_path);
  const PlatformReadFile file = PlatformOpenForReading(path);
  std::uint64_t size = 0;
  if (file.handle != kNoHandle) {
    size = file.size;
    std::vector<std::uint8_t> there(entry.size());
    const std::uint64_t place = append_at == 0 ? kHeaderSize : append_at;  // a new history's first entry
    const bool at_place = size >= place + entry.size() &&
                          PlatformReadAt(file.handle, place, there.data(), there.size()) == there.size() &&
                          there == entry;
    const std::optional<HistoryEntry> last = LastEntry(file.handle, size);
    PlatformCloseFile(file.handle);
    // Written before the stop, in its place or as the newest entry of a pruned history.
    if (at_place || (last && EncodeHistoryEntry(*last) == entry)) return {};
  }
  std::string problem;
  std::uint64_t at = append_at;
  if (append_at == 0 || size < append_at) {
    // The history is not the one the write found: the entry goes behind whatever it holds now.
    const HistoryTail tail = FindHistoryTail(roster_path, DecodeHistoryEntry(entry.data(), entry.size())->file_size);
    problem = tail.usable ? "" : tail.problem;
    at = tail.append_at;
  }
  if (problem.empty()) problem = AppendHistoryEntry(roster_path, at, entry, ~0ull);
  return problem.empty() ? "" : "The write was completed, but " + problem + ".";
}

}  // namespace rostrel
