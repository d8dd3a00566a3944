#include "roster/write_lock.h"

#include <map>
#include <thread>

namespace rostrel {

namespace {

std::chrono::milliseconds g_wait{10000};

// The exclusive locks this thread holds, by path, and how many times each.
thread_local std::map<std::string, int> t_exclusive;

}  // namespace

RosterLock::RosterLock(RosterLock&& other) noexcept { *this = std::move(other); }

RosterLock& RosterLock::operator=(RosterLock&& other) noexcept {
  if (this == &other) return *this;
  Release();
  path_ = std::move(other.path_);
  handle_ = other.handle_;
  nested_ = other.nested_;
  exclusive_ = other.exclusive_;
  status_ = other.status_;
  other.handle_ = kNoHandle;
  other.status_ = LockStatus::Failed;
  return *this;
}

void RosterLock::Release() {
  if (status_ != LockStatus::Held) return;
  status_ = LockStatus::Failed;
  if (nested_) {
    --t_exclusive[path_];
    return;
  }
  if (exclusive_ && --t_exclusive[path_] == 0) t_exclusive.erase(path_);
  PlatformUnlockAndClose(handle_);
  handle_ = kNoHandle;
}

RosterLock LockRoster(const std::string& path, LockKind kind, std::chrono::milliseconds wait) {
  RosterLock lock;
  lock.path_ = path;
  if (const auto it = t_exclusive.find(path); it != t_exclusive.end() && it->second > 0) {
    ++it->second;
    lock.nested_ = true;
    lock.status_ = LockStatus::Held;
    return lock;
  }
  const bool exclusive = kind == LockKind::Exclusive;
  lock.handle_ = PlatformOpenForLocking(path, exclusive);
  if (lock.handle_ == kNoHandle) return lock;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  auto pause = std::chrono::milliseconds(1);
  for (;;) {
    const LockTry tried = PlatformTryLock(lock.handle_, exclusive);
    if (tried == LockTry::Taken) break;
    if (tried == LockTry::Failed || std::chrono::steady_clock::now() >= deadline) {
      PlatformUnlockAndClose(lock.handle_);
      lock.handle_ = kNoHandle;
      lock.status_ = tried == LockTry::Failed ? LockStatus::Failed : LockStatus::Busy;
      return lock;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::milliseconds(20));
  }
  lock.status_ = LockStatus::Held;
  lock.exclusive_ = exclusive;
  if (exclusive) ++t_exclusive[path];
  return lock;
}

std::chrono::milliseconds LockWait() { return g_wait; }
void SetLockWait(std::chrono::milliseconds wait) { g_wait = wait; }

std::string BeingWrittenText(const std::string& path) {
  return path + " is being written by another program; nothing was written";
}

ReadLock LockForReading(const std::string& path, std::chrono::milliseconds wait) {
  ReadLock read;
  // A journal seen under the shared lock was left by a writer that stopped:
  // it is completed, and the shared lock taken again. Twice is plenty.
  for (int attempt = 0; attempt < 3; ++attempt) {
    read.recovery = RecoverRoster(path, wait);
    if (read.recovery.what == Recovery::Busy) return read;
    read.lock = LockRoster(path, LockKind::Shared, wait);
    if (!read.lock.held() || !JournalPresent(path)) return read;
    read.lock.Release();
  }
  return read;
}

}  // namespace rostrel
