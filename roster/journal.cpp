#include "roster/journal.h"

#include <algorithm>

#include "roster/byte_io.h"
#include "roster/checksum.h"
#include "roster/history.h"
#include "roster/platform.h"
#include "roster/roster_file.h"
#include "roster/write_lock.h"

namespace rostrel {

namespace {

constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kVersionWithHistory = 2;  // a history entry follows the ranges
constexpr std::size_t kHeaderSize = 24;

// Every byte of each range is either its old or its new byte: the file is
// the one the journal was written for, somewhere between before and after.
bool Matches(const RosterView& view, const Journal& journal) {
  if (view.size != journal.file_size) return false;
  for (const JournalRange& r : journal.ranges) {
    const std::uint64_t n = r.new_bytes.size();
    if (r.offset > view.size || n > view.size - r.offset) return false;
    for (std::uint64_t i = 0; i < n; ++i) {
      const std::uint8_t b = view.base[r.offset + i];
      if (b != r.old_bytes[i] && b != r.new_bytes[i]) return false;
    }
  }
  return true;
}

}  // namespace

std::string JournalPathFor(const std::string& roster_path) { return roster_path + ".journal"; }

void PutRanges(std::vector<std::uint8_t>& out, const std::vector<JournalRange>& ranges) {
  PutNumber(out, ranges.size(), 4);
  for (const JournalRange& r : ranges) {
    PutNumber(out, r.offset, 8);
    PutNumber(out, r.new_bytes.size(), 4);
    out.insert(out.end(), r.old_bytes.begin(), r.old_bytes.end());
    out.insert(out.end(), r.new_bytes.begin(), r.new_bytes.end());
  }
}

bool ReadRanges(ByteReader& in, std::vector<JournalRange>& ranges) {
  std::uint64_t count = 0;
  if (!in.Number(count, 4)) return false;
  for (std::uint64_t k = 0; k < count; ++k) {
    JournalRange r;
    std::uint64_t length = 0;
    if (!in.Number(r.offset, 8) || !in.Number(length, 4) || !in.Bytes(r.old_bytes, length) ||
        !in.Bytes(r.new_bytes, length)) {
      return false;
    }
    ranges.push_back(std::move(r));
  }
  return true;
}

std::vector<std::uint8_t> EncodeJournal(const Journal& journal) {
  std::vector<std::uint8_t> out{'R', 'S', 'T', 'J'};
  const bool history = !journal.history_entry.empty();
  PutNumber(out, history ? kVersionWithHistory : kVersion, 4);
  PutNumber(out, journal.file_size, 8);
  PutNumber(out, journal.checksum, 4);
  PutRanges(out, journal.ranges);
  if (history) {
    PutNumber(out, journal.history_at, 8);
    PutNumber(out, journal.history_entry.size(), 4);
    out.insert(out.end(), journal.history_entry.begin(), journal.history_entry.end());
  }
  PutNumber(out, Crc32(out.data(), out.size(), 0), 4);
  return out;
}

std::optional<Journal> DecodeJournal(const std::vector<std::uint8_t>& bytes) {
  if (bytes.size() < kHeaderSize + 4 || !std::equal(bytes.begin(), bytes.begin() + 4, "RSTJ")) return std::nullopt;
  const std::size_t body = bytes.size() - 4;  // the journal's own CRC-32 closes it
  std::uint32_t stored = 0;
  for (int i = 3; i >= 0; --i) stored = (stored << 8) | bytes[body + static_cast<std::size_t>(i)];
  if (stored != Crc32(bytes.data(), body, 0)) return std::nullopt;

  ByteReader in(bytes.data(), body);
  std::uint64_t magic = 0, version = 0, checksum = 0;
  Journal journal;
  if (!in.Number(magic, 4) || !in.Number(version, 4) || (version != kVersion && version != kVersionWithHistory) ||
      !in.Number(journal.file_size, 8) || !in.Number(checksum, 4)) {
    return std::nullopt;
  }
  journal.checksum = static_cast<std::uint32_t>(checksum);
  if (!ReadRanges(in, journal.ranges)) return std::nullopt;
  std::uint64_t entry_size = 0;
  if (version == kVersionWithHistory &&
      (!in.Number(journal.history_at, 8) || !in.Number(entry_size, 4) || entry_size == 0 ||
       !in.Bytes(journal.history_entry, entry_size))) {
    return std::nullopt;
  }
  if (!in.AtEnd()) return std::nullopt;
  return journal;
}

bool JournalPresent(const std::string& roster_path) {
  const PlatformReadFile file = PlatformOpenForReading(JournalPathFor(roster_path));
  PlatformCloseFile(file.handle);
  return file.handle != kNoHandle;
}

RecoveryReport RecoverRoster(const std::string& roster_path) { return RecoverRoster(roster_path, LockWait()); }

RecoveryReport RecoverRoster(const std::string& roster_path, std::chrono::milliseconds wait) {
  const std::string journal_path = JournalPathFor(roster_path);
  if (!JournalPresent(roster_path)) return {};
  const RosterLock lock = LockRoster(roster_path, LockKind::Exclusive, wait);
  if (lock.status() == LockStatus::Busy) return {Recovery::Busy, roster_path + " is being written by another program"};
  const std::optional<std::vector<std::uint8_t>> bytes = PlatformReadWholeFile(journal_path);
  if (!bytes) return {};  // its writer finished meanwhile
  const std::optional<Journal> journal = DecodeJournal(*bytes);
  if (!journal) {
    PlatformRemoveFile(journal_path);
    return {Recovery::Discarded, {}};
  }
  const std::string unfinished = "An interrupted write of " + roster_path + " is recorded in " + journal_path;
  RosterView view;
  const OpenStatus status = OpenRosterView(view, roster_path);
  if (status != OpenStatus::Ok) {
    return {Recovery::Failed, unfinished + ", but the file cannot be opened to complete it: " + OpenStatusText(status)};
  }
  if (!Matches(view, *journal)) {
    return {Recovery::Mismatch, journal_path + " does not match " + roster_path +
                                    " as it is now: both were left as they are. Keep a copy of both files."};
  }
  for (const JournalRange& r : journal->ranges) {
    std::copy(r.new_bytes.begin(), r.new_bytes.end(), view.base + r.offset);
  }
  UpdateFileChecksum(view);
  if (!FlushRosterView(view)) return {Recovery::Failed, unfinished + ", and completing it failed: it is tried again next time."};
  RecoveryReport report{Recovery::RolledForward, {}};
  if (!journal->history_entry.empty()) {
    report.message = CompleteHistoryEntry(roster_path, journal->history_at, journal->history_entry);
  }
  PlatformRemoveFile(journal_path);  // one left behind is completed again, to the same bytes
  return report;
}

}  // namespace rostrel
