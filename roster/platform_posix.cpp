// Linux side of the platform adapter: POSIX files and mmap. Case conversion
// follows Windows-1252, the single-byte code page of a western Windows system,
// so that both builds sort and search alike there.
// Offsets are 64-bit on 32-bit x86 too: the lock byte lies past 4 GiB.
#define _FILE_OFFSET_BITS 64
#include <cerrno>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "roster/platform.h"
#include "roster/roster_file.h"

namespace rostrel {

const NativeHandle kNoHandle = -1;

namespace {

constexpr std::uint64_t kMaxMappedSize = 0xFFFFFFFFull;

bool IsFolder(const struct stat& st) { return S_ISDIR(st.st_mode); }

// A file descriptor that closes itself.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now; false when the system reports an error.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, const void* data, std::size_t n) {
  const auto* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t put = ::write(fd, p, n);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put;
    n -= static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace

OpenStatus PlatformMapFile(const std::string& path, RosterView& view) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || IsFolder(st)) return OpenStatus::NotFound;
  // A file without any write permission is read-only for everybody, as a file
  // with the read-only attribute is on Windows, even where root could write it.
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return OpenStatus::NotWritable;
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return OpenStatus::NotWritable;
  OpenStatus status = OpenStatus::Ok;
  void* base = MAP_FAILED;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    status = OpenStatus::NotFound;
  } else if (st.st_size == 0) {
    status = OpenStatus::Empty;
  } else if (static_cast<std::uint64_t>(st.st_size) > kMaxMappedSize) {
    status = OpenStatus::TooLarge;
  } else {
    base = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (base == MAP_FAILED) status = OpenStatus::CannotMap;
  }
  if (status != OpenStatus::Ok) {
    ::close(fd);
    return status;
  }
  view.file = fd;
  view.mapping = kNoHandle;
  view.base = static_cast<std::uint8_t*>(base);
  view.size = static_cast<std::uint64_t>(st.st_size);
  return OpenStatus::Ok;
}

void PlatformUnmapFile(RosterView& view) {
  ::munmap(view.base, static_cast<std::size_t>(view.size));
  ::close(view.file);
}

// The view's pages are the file's own pages in the page cache: msync hands
// them to the file without waiting, and one fdatasync then puts them and
// the file's size on the disk (the time stamps are not worth a second flush).
bool PlatformFlushFile(const RosterView& view) {
  if (!IoStepMayRun(IoStep::ViewFlush) || ::msync(view.base, static_cast<std::size_t>(view.size), MS_ASYNC) != 0) {
    return false;
  }
  return IoStepMayRun(IoStep::FileSync) && ::fdatasync(view.file) == 0;
}

bool PlatformWriteThrough(RosterView& view, std::uint64_t offset, const std::uint8_t* data, std::size_t n) {
  while (n > 0) {
    const ssize_t put = ::pwrite(view.file, data, n, static_cast<off_t>(offset));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    offset += static_cast<std::uint64_t>(put);
    n -= static_cast<std::size_t>(put);
  }
  return true;
}

bool PlatformWriteDurably(const std::string& path, const void* data, std::size_t n) {
  Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) return false;
  if (!IoStepMayRun(IoStep::JournalWrite) || !WriteAll(fd.get(), data, n)) return false;
  if (!IoStepMayRun(IoStep::JournalSync) || ::fdatasync(fd.get()) != 0) return false;
  return fd.Close();
}

bool PlatformWriteTail(const std::string& path, std::uint64_t offset, const void* data, std::size_t n) {
  Descriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
  if (fd.get() < 0 || !IoStepMayRun(IoStep::HistoryWrite)) return false;
  if (::ftruncate(fd.get(), static_cast<off_t>(offset)) != 0 || ::lseek(fd.get(), static_cast<off_t>(offset), SEEK_SET) < 0 ||
      !WriteAll(fd.get(), data, n)) {
    return false;
  }
  if (!IoStepMayRun(IoStep::HistorySync) || ::fdatasync(fd.get()) != 0) return false;
  return fd.Close();
}

bool PlatformRename(const std::string& from, const std::string& to) {
  return IoStepMayRun(IoStep::HistoryRename) && ::rename(from.c_str(), to.c_str()) == 0;
}

bool PlatformSyncFolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) return false;
  return IoStepMayRun(IoStep::FolderSync) && ::fsync(fd.get()) == 0;
}

bool PlatformRemoveFile(const std::string& path) {
  return IoStepMayRun(IoStep::JournalRemove) && (::unlink(path.c_str()) == 0 || errno == ENOENT);
}

std::optional<std::vector<std::uint8_t>> PlatformReadWholeFile(const std::string& path) {
  const PlatformReadFile file = PlatformOpenForReading(path);
  if (file.handle == kNoHandle) return std::nullopt;
  Descriptor fd(file.handle);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size));
  if (PlatformReadAt(fd.get(), 0, bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

PlatformReadFile PlatformOpenForReading(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {kNoHandle, 0};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return {kNoHandle, 0};
  }
  return {fd, static_cast<std::uint64_t>(st.st_size)};
}

std::size_t PlatformReadAt(NativeHandle handle, std::uint64_t offset, void* destination, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(handle, static_cast<char*>(destination) + done, n - done,
                                static_cast<off_t>(offset + done));
    if (got <= 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void PlatformCloseFile(NativeHandle handle) {
  if (handle != kNoHandle) ::close(handle);
}

NativeHandle PlatformOpenForLocking(const std::string& path, bool exclusive) {
  const int fd = ::open(path.c_str(), (exclusive ? O_RDWR : O_RDONLY) | O_CLOEXEC);
  return fd < 0 ? kNoHandle : fd;
}

// An open-file-description lock: it belongs to this descriptor alone, so
// closing another descriptor of the roster keeps it, and two descriptors
// exclude each other even within one process. It conflicts with the classic
// record locks Wine's server takes for a Windows program's LockFileEx.
LockTry PlatformTryLock(NativeHandle handle, bool exclusive) {
  struct flock lock {};
  lock.l_type = exclusive ? F_WRLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = static_cast<off_t>(kLockByte);
  lock.l_len = 1;
  while (::fcntl(handle, F_OFD_SETLK, &lock) != 0) {
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EACCES ? LockTry::Busy : LockTry::Failed;
  }
  return LockTry::Taken;
}

void PlatformUnlockAndClose(NativeHandle handle) {
  if (handle != kNoHandle) ::close(handle);  // the lock goes with its descriptor
}

std::optional<std::uint64_t> PlatformDirectorySize(std::string_view path) {
  const std::string trimmed = TrimTypedPath(path);
  if (trimmed.empty()) return std::nullopt;
  struct stat st {};
  if (::stat(trimmed.c_str(), &st) != 0 || IsFolder(st)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

unsigned char PlatformUpperChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: break;
  }
  if (c >= 0xE0 && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  return c;
}

unsigned char PlatformLowerChar(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: break;
  }
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  return c;
}

}  // namespace rostrel
