// One user action that writes a roster file, as one unit: the window's save
// of a player, an undo or a redo, the CLI's set, import and check --fix. While a transaction is
// open, every field write through the view is held back (PendingWrites); the
// commit then, in this order, writes the journal of the changed ranges and
// puts it on the disk, changes the mapped file, stores its checksum, puts the
// file on the disk, appends the write's entry to the roster's history when
// asked to keep one (the entry is in the journal too), and deletes the
// journal. One checksum pass and one flush, however many players changed.
// A transaction holds the roster's write lock (roster/write_lock.h) from its
// start to its end, so that what it reads and what it writes come from one
// state of the file; a journal that a writer left when it stopped is
// completed first. A trial transaction, never committed, takes no lock.
#pragma once

#include <optional>
#include <string>

#include "roster/history.h"
#include "roster/roster_file.h"
#include "roster/write_lock.h"

namespace rostrel {

struct CommitResult {
  bool ok = false;
  std::string reason;    // when not ok: a sentence for the user
  bool wrote = false;    // anything changed in the file
  std::uint32_t history_number = 0;  // the write's history entry; 0 when it has none
  // Beside a write that succeeded, for the user: why it has no history entry,
  // or that a damaged history was moved aside. Empty when all is well.
  std::string history_note;
  bool changed_outside = false;  // the file's checksum was not the history's newest entry's
  bool busy = false;  // another program held the write lock all the time waited: nothing was written
};

enum class TransactionKind {
  Write,  // locks the roster and may commit
  Trial,  // collects writes to be read back, never committed
};

class RosterTransaction {
 public:
  // Collects the writes through view from now on. The view must be open. A
  // write waits up to LockWait() for the lock.
  explicit RosterTransaction(RosterView& view, TransactionKind kind = TransactionKind::Write);
  RosterTransaction(const RosterTransaction&) = delete;
  RosterTransaction& operator=(const RosterTransaction&) = delete;
  // A transaction not committed leaves the file as it was.
  ~RosterTransaction();

  // Puts the collected writes and the new checksum into the file. A failure
  // after the journal is on the disk leaves the journal, so the next open of
  // the roster completes the write.
  CommitResult Commit();

  // The commit keeps an entry of this write in the roster's history.
  void KeepHistory(HistoryNote note);

  // Nothing stands in the way of a commit: the lock is held and no journal
  // left by another writer stays. When something does, Commit says what.
  bool Ready() const { return refusal_.empty(); }
  bool Busy() const { return busy_; }
  const std::string& Refusal() const { return refusal_; }

 private:
  RosterView& view_;
  PendingWrites pending_;
  bool open_ = true;
  std::optional<HistoryNote> history_;
  RosterLock lock_;
  bool busy_ = false;
  std::string refusal_;  // why a commit would be refused
};

}  // namespace rostrel
