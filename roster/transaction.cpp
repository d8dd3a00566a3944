#include "roster/transaction.h"

#include <algorithm>
#include <chrono>

#include "roster/checksum.h"
#include "roster/journal.h"
#include "roster/platform.h"

namespace rostrel {

namespace {

// The pending bytes that differ from the file, as contiguous ranges. Bytes 0
// to 3 hold the checksum, which is stored last whatever was written there.
std::vector<JournalRange> ChangedRanges(const RosterView& view, const PendingWrites& pending) {
  std::vector<JournalRange> ranges;
  const std::uint64_t first = view.size >= 4 ? 4 : 0;
  for (const auto& [offset, byte] : pending.bytes) {
    const std::uint8_t old = view.base[offset];
    if (byte == old || offset < first) continue;
    if (ranges.empty() || ranges.back().offset + ranges.back().new_bytes.size() != offset) {
      ranges.push_back(JournalRange{offset, {}, {}});
    }
    ranges.back().old_bytes.push_back(old);
    ranges.back().new_bytes.push_back(byte);
  }
  return ranges;
}

// CRC-32 of file offsets 4 ... end as they will be: the file's bytes, with the
// ranges' new bytes in their places. One pass.
std::uint32_t ChecksumAfter(const RosterView& view, const std::vector<JournalRange>& ranges) {
  std::uint32_t crc = 0;
  std::uint64_t at = 4;
  for (const JournalRange& r : ranges) {
    const std::uint64_t end = r.offset + r.new_bytes.size();
    if (end <= at) continue;
    const std::uint64_t from = std::max(r.offset, at);
    crc = Crc32(view.base + at, static_cast<std::size_t>(from - at), crc);
    crc = Crc32(r.new_bytes.data() + (from - r.offset), static_cast<std::size_t>(end - from), crc);
    at = end;
  }
  return Crc32(view.base + at, static_cast<std::size_t>(view.size - at), crc);
}

CommitResult Failure(std::string reason) {
  CommitResult result;
  result.reason = std::move(reason);
  return result;
}

// The write's history entry, and where it goes: nothing when the history
// cannot take one (said in the result).
std::vector<std::uint8_t> HistoryEntryFor(const RosterView& view, const Journal& journal, const HistoryNote& note,
                                          HistoryTail& tail, CommitResult& result) {
  tail = FindHistoryTail(view.path, view.size);
  if (!tail.usable) {
    result.history_note = "The write has no history entry, so it cannot be undone: " + tail.problem + ".";
    return {};
  }
  result.history_note = tail.problem;
  HistoryEntry e;
  e.number = tail.last_number + 1;
  e.time = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
  e.file_size = view.size;
  e.checksum_before = StoredChecksum({view.base, static_cast<std::size_t>(view.size)}).value_or(0);
  e.checksum_after = journal.checksum;
  e.kind = note.kind;
  e.what = note.what;
  e.targets = note.targets;
  e.players = note.players;
  e.field_count = note.field_count;
  e.ranges = journal.ranges;
  result.changed_outside = tail.has_last && tail.last_checksum != e.checksum_before;
  result.history_number = e.number;
  return EncodeHistoryEntry(e);
}

}  // namespace

RosterTransaction::RosterTransaction(RosterView& view, TransactionKind kind) : view_(view) {
  if (kind == TransactionKind::Trial) {
    open_ = false;
    refusal_ = "A trial is never written.";
  } else if (IsOpen(view_)) {
    lock_ = LockRoster(view_.path, LockKind::Exclusive, LockWait());
    busy_ = lock_.status() == LockStatus::Busy;
    if (busy_) {
      refusal_ = BeingWrittenText(view_.path) + ".";
    } else if (!lock_.held()) {
      refusal_ = view_.path + " cannot be locked for writing, so nothing was written.";
    } else {
      const RecoveryReport recovery = RecoverRoster(view_.path);  // a journal here was left by a writer that stopped
      if (recovery.what == Recovery::Mismatch || recovery.what == Recovery::Failed) refusal_ = recovery.message;
    }
  }
  view_.pending = &pending_;
}

void RosterTransaction::KeepHistory(HistoryNote note) { history_ = std::move(note); }

RosterTransaction::~RosterTransaction() {
  if (view_.pending == &pending_) view_.pending = nullptr;
}

CommitResult RosterTransaction::Commit() {
  const bool was_open = open_;
  open_ = false;
  view_.pending = nullptr;
  if (!IsOpen(view_)) return Failure("The file is not open.");
  if (!was_open || !refusal_.empty()) {
    CommitResult refused = Failure(refusal_.empty() ? "The write was committed already." : refusal_);
    refused.busy = busy_;
    return refused;
  }
  Journal journal;
  journal.file_size = view_.size;
  journal.ranges = ChangedRanges(view_, pending_);
  const bool has_checksum = view_.size >= 4;
  if (has_checksum) journal.checksum = ChecksumAfter(view_, journal.ranges);
  std::uint8_t checksum[4];
  for (int i = 0; i < 4; ++i) checksum[i] = static_cast<std::uint8_t>(journal.checksum >> (8 * i));
  const bool checksum_changes = has_checksum && !std::equal(checksum, checksum + 4, view_.base);
  CommitResult result;
  result.ok = true;
  if (journal.ranges.empty() && !checksum_changes) return result;
  result.wrote = true;
  HistoryTail tail;
  if (history_) {
    journal.history_entry = HistoryEntryFor(view_, journal, *history_, tail, result);
    journal.history_at = tail.append_at;
  }

  const std::string journal_path = JournalPathFor(view_.path);
  const std::vector<std::uint8_t> encoded = EncodeJournal(journal);
  if (!PlatformWriteDurably(journal_path, encoded.data(), encoded.size()) || !PlatformSyncFolderOf(journal_path)) {
    PlatformRemoveFile(journal_path);
    return Failure("The journal " + journal_path + " cannot be written, so nothing was written.");
  }
  bool written = IoStepMayRun(IoStep::FileWrite);
  for (const JournalRange& r : journal.ranges) {
    written = written && PlatformWriteThrough(view_, r.offset, r.new_bytes.data(), r.new_bytes.size());
  }
  if (has_checksum) written = written && PlatformWriteThrough(view_, 0, checksum, 4);
  if (!written || !FlushRosterView(view_)) {
    return Failure("The changes could not be put on the disk. The next time the file is opened, the write is completed "
                   "from " + journal_path + ".");
  }
  if (!journal.history_entry.empty()) {
    const std::string problem =
        AppendHistoryEntry(view_.path, journal.history_at, journal.history_entry, history_->limit);
    if (!problem.empty()) {
      result.history_number = 0;
      result.history_note = "The write has no history entry, so it cannot be undone: " + problem + ".";
    }
  }
  PlatformRemoveFile(journal_path);  // one left behind is completed again, to the same bytes
  lock_.Release();
  return result;
}

}  // namespace rostrel
