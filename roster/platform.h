// The one place where the core meets the operating system: whole-file mappings,
// plain positional reads, file sizes and single-byte case conversion.
// platform_win32.cpp and platform_posix.cpp implement it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rostrel {

#ifdef _WIN32
using NativeHandle = void*;  // a Win32 HANDLE
#else
using NativeHandle = int;  // a file descriptor
#endif
extern const NativeHandle kNoHandle;

// The byte that roster/write_lock.h locks: the first past the largest roster
// the program maps (4 GiB - 1).
constexpr std::uint64_t kLockByte = 1ull << 32;

// Why a file could not be opened for editing.
enum class OpenStatus {
  Ok,
  NotFound,     // no such file, or the path names a folder
  NotWritable,  // exists, but cannot be opened for reading and writing (read-only, locked)
  Empty,        // zero bytes long: there is nothing to map
  TooLarge,     // 4 GiB or more
  CannotMap,    // the system refused the mapping or the view
};

struct RosterView;

// Opens path for reading and writing (sharing both with other programs) and maps
// all of it writable into view. On failure view is left closed.
OpenStatus PlatformMapFile(const std::string& path, RosterView& view);
// Unmaps the view and closes both handles; view must be open.
void PlatformUnmapFile(RosterView& view);
// Writes the dirty pages of the view back to the file and the file's buffers
// to the disk; true on success.
bool PlatformFlushFile(const RosterView& view);

// The steps of a write that can fail, in the order a transaction takes them.
enum class IoStep {
  JournalWrite,   // the journal's bytes into its file
  JournalSync,    // the journal's file to the disk
  FolderSync,     // the folder's entry for the journal to the disk
  FileWrite,      // the changed bytes into the roster file
  ViewFlush,      // the view's pages back to the roster file
  FileSync,       // the roster file's buffers to the disk
  JournalRemove,  // the journal deleted
  HistoryWrite,   // a history entry into the history's file (or a pruned history into a new file)
  HistorySync,    // that file to the disk
  HistoryRename,  // a pruned history put in the old one's place, or a damaged one moved aside
};
// A seam for tests: asked before each step; false makes the step fail as the
// system would. It may also throw to stop the program there. None by default.
using IoStepHook = bool (*)(IoStep step);
void SetIoStepHook(IoStepHook hook);
// Asks the hook, if any; true when the step may go ahead.
bool IoStepMayRun(IoStep step);

// Puts n bytes at offset into the open roster file; the view shows them at
// once. Linux writes them through the file descriptor: ext4 syncs such
// writes without the journal commit that pages dirtied through a mapping
// cost (0.2 ms rather than 3 ms a save on this machine). Windows copies them
// into the view.
bool PlatformWriteThrough(RosterView& view, std::uint64_t offset, const std::uint8_t* data, std::size_t n);

// Creates or replaces path with n bytes and puts it on the disk before returning.
bool PlatformWriteDurably(const std::string& path, const void* data, std::size_t n);
// Puts the folder holding path, and so its entry for path, on the disk (Windows
// has nothing to do here).
bool PlatformSyncFolderOf(const std::string& path);
// Cuts path (created when missing) to offset bytes, writes the n bytes there
// and puts the file on the disk before returning.
bool PlatformWriteTail(const std::string& path, std::uint64_t offset, const void* data, std::size_t n);
// Gives the file from the name to, replacing a file of that name, as one step.
bool PlatformRename(const std::string& from, const std::string& to);
// Deletes a file; true when it is gone.
bool PlatformRemoveFile(const std::string& path);
// The whole content of a file; nothing when it does not exist or cannot be read.
std::optional<std::vector<std::uint8_t>> PlatformReadWholeFile(const std::string& path);

// A file opened for plain reading. On failure handle is kNoHandle.
struct PlatformReadFile {
  NativeHandle handle;
  std::uint64_t size;
};
PlatformReadFile PlatformOpenForReading(const std::string& path);
// Reads up to n bytes at offset; the number of bytes read.
std::size_t PlatformReadAt(NativeHandle handle, std::uint64_t offset, void* destination, std::size_t n);
void PlatformCloseFile(NativeHandle handle);

// The lock of roster/write_lock.h on one byte past the end of any roster:
// a handle of its own to path (for reading and writing when exclusive, else
// for reading), kNoHandle when the file cannot be opened so.
NativeHandle PlatformOpenForLocking(const std::string& path, bool exclusive);
enum class LockTry { Taken, Busy, Failed };
// Takes the lock on that handle without waiting: Busy when another handle,
// in this process or another, holds a lock that excludes it.
LockTry PlatformTryLock(NativeHandle handle, bool exclusive);
// Releases the lock and closes the handle.
void PlatformUnlockAndClose(NativeHandle handle);

// The size recorded in the directory entry of path, after the platform's own
// clean-up of a typed path (NormalizePath on Windows; blanks and quotes on
// Linux, where "/" and "\" mean other things); nothing when there is no such
// entry or it is a folder.
std::optional<std::uint64_t> PlatformDirectorySize(std::string_view path);

// Upper and lower case of one character of the system's single-byte code page.
unsigned char PlatformUpperChar(unsigned char c);
unsigned char PlatformLowerChar(unsigned char c);

}  // namespace rostrel
