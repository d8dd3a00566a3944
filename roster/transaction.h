// One user action that writes a roster file, as one unit: the window's save
// of a player, the CLI's set, import and check --fix. While a transaction is
// open, every field write through the view is held back (PendingWrites); the
// commit then, in this order, writes the journal of the changed ranges and
// puts it on the disk, changes the mapped file, stores its checksum, puts the
// file on the disk and deletes the journal. One checksum pass and one flush,
// however many players changed.
#pragma once

#include <string>

#include "roster/roster_file.h"

namespace rostrel {

struct CommitResult {
  bool ok = false;
  std::string reason;    // when not ok: a sentence for the user
};

class RosterTransaction {
 public:
  // Collects the writes through view from now on. The view must be open.
  explicit RosterTransaction(RosterView& view);
  RosterTransaction(const RosterTransaction&) = delete;
  RosterTransaction& operator=(const RosterTransaction&) = delete;
  // A transaction not committed leaves the file as it was.
  ~RosterTransaction();

  // Puts the collected writes and the new checksum into the file. A failure
  // after the journal is on the disk leaves the journal, so the next open of
  // the roster completes the write.
  CommitResult Commit();

 private:
  RosterView& view_;
  PendingWrites pending_;
  bool open_ = true;
};

}  // namespace rostrel
