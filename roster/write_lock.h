// One writer of a roster at a time, and readers that see whole writes.
//
// What is locked: one byte of the roster file itself, the first past 4 GiB
// (kLockByte), beyond the end of any roster the program maps. The roster
// rather than a lock file beside it, because every program that reads or
// writes a roster opens it anyway: no second file can be left behind, deleted
// or replaced under a writer, and a roster in a folder where no new file may
// be made is locked all the same. A byte past the end, because a Windows
// lock is mandatory for the bytes it covers: the game and every other
// program keep reading the roster's own bytes while it is locked.
//
// How: on Windows, LockFileEx on a handle of the lock's own (exclusive for a
// writer, shared for a reader); on Linux, an open-file-description lock
// (F_OFD_SETLK) on a descriptor of its own. Such a lock belongs to its
// descriptor, so two descriptors exclude each other even within one process,
// and it conflicts with the classic record locks that Wine's server takes for
// a Windows program's LockFileEx: rostrel-cli on Linux and rostrel.exe under
// Wine exclude each other. Closing the handle, or the end of the process,
// releases the lock, so a writer that crashed leaves none behind.
//
// A writer holds the exclusive lock for its whole transaction: the journal,
// the file, the history and any pruning of it. A journal counts as left by a
// writer that stopped only while its finder holds that lock (the hot-journal
// rule); then it is completed first. A thread that holds the exclusive lock on
// a path and asks for it again, or for a shared one, is given it at once.
#pragma once

#include <chrono>
#include <string>

#include "roster/journal.h"
#include "roster/platform.h"

namespace rostrel {

enum class LockKind { Shared, Exclusive };
enum class LockStatus {
  Held,
  Busy,    // another program held it all the time waited
  Failed,  // the roster could not be opened to lock it
};

class RosterLock {
 public:
  RosterLock() = default;
  RosterLock(RosterLock&& other) noexcept;
  RosterLock& operator=(RosterLock&& other) noexcept;
  RosterLock(const RosterLock&) = delete;
  RosterLock& operator=(const RosterLock&) = delete;
  ~RosterLock() { Release(); }

  LockStatus status() const { return status_; }
  bool held() const { return status_ == LockStatus::Held; }
  void Release();

 private:
  friend RosterLock LockRoster(const std::string& path, LockKind kind, std::chrono::milliseconds wait);
  std::string path_;
  NativeHandle handle_ = kNoHandle;
  bool nested_ = false;     // held through the same thread's exclusive lock
  bool exclusive_ = false;  // the thread's exclusive lock on path_
  LockStatus status_ = LockStatus::Failed;
};

// Takes the lock on the roster at path, trying again until wait has passed.
RosterLock LockRoster(const std::string& path, LockKind kind, std::chrono::milliseconds wait);

// How long a writer or reader waits for the lock unless told otherwise: 10 s.
std::chrono::milliseconds LockWait();
void SetLockWait(std::chrono::milliseconds wait);

// "<path> is being written by another program; nothing was written".
std::string BeingWrittenText(const std::string& path);

// A reader's lock: shared, taken after any journal that a writer left when it
// stopped was completed (under the exclusive lock, for that moment).
struct ReadLock {
  RosterLock lock;
  RecoveryReport recovery;
  bool busy() const { return recovery.what == Recovery::Busy || lock.status() == LockStatus::Busy; }
};
ReadLock LockForReading(const std::string& path, std::chrono::milliseconds wait);

}  // namespace rostrel
