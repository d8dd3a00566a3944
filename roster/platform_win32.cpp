// Windows side of the platform adapter: the wide file functions over UTF-8
// paths, file mappings and the system's own single-byte case conversion.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>

#include "roster/platform.h"
#include "roster/roster_file.h"
#include "roster/wide_text.h"

namespace rostrel {

const NativeHandle kNoHandle = nullptr;

namespace {

constexpr std::uint64_t kMaxMappedSize = 0xFFFFFFFFull;

// A Win32 handle that closes itself unless released.
class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() {
    if (h_) CloseHandle(h_);
  }
  HANDLE get() const { return h_; }
  HANDLE release() {
    HANDLE h = h_;
    h_ = nullptr;
    return h;
  }

 private:
  HANDLE h_;
};

OpenStatus StatusForOpenError(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return OpenStatus::NotFound;
    default:
      return OpenStatus::NotWritable;
  }
}

std::wstring Wide(const std::string& path) { return WideFromUtf8(path); }

std::string Narrow(std::wstring_view wide, UINT code_page) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
  return text;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8FromWide(std::wstring_view wide) { return Narrow(wide, CP_UTF8); }
std::string CodePageFromWide(std::wstring_view wide) { return Narrow(wide, CP_ACP); }

OpenStatus PlatformMapFile(const std::string& path, RosterView& view) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return OpenStatus::NotFound;
  }
  // Windows refuses to open a read-only file for writing; Wine running as root
  // would not, so the attribute is checked here as well.
  if (attributes & FILE_ATTRIBUTE_READONLY) return OpenStatus::NotWritable;
  OwnedHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file.get()) return StatusForOpenError(GetLastError());
  // The mapping takes its size from the open file itself: a mapping larger than
  // the file would make the file grow.
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return OpenStatus::CannotMap;
  if (size.QuadPart == 0) return OpenStatus::Empty;
  if (static_cast<std::uint64_t>(size.QuadPart) > kMaxMappedSize) return OpenStatus::TooLarge;
  OwnedHandle mapping(CreateFileMappingA(file.get(), nullptr, PAGE_READWRITE, 0,
                                         static_cast<DWORD>(size.QuadPart), nullptr));
  if (!mapping.get()) return OpenStatus::CannotMap;
  void* base = MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, 0);
  if (!base) return OpenStatus::CannotMap;
  view.file = file.release();
  view.mapping = mapping.release();
  view.base = static_cast<std::uint8_t*>(base);
  view.size = static_cast<std::uint64_t>(size.QuadPart);
  return OpenStatus::Ok;
}

void PlatformUnmapFile(RosterView& view) {
  UnmapViewOfFile(view.base);
  CloseHandle(view.mapping);
  CloseHandle(view.file);
}

bool PlatformFlushFile(const RosterView& view) {
  if (!IoStepMayRun(IoStep::ViewFlush) || !FlushViewOfFile(view.base, 0)) return false;
  return IoStepMayRun(IoStep::FileSync) && FlushFileBuffers(view.file);
}

bool PlatformWriteThrough(RosterView& view, std::uint64_t offset, const std::uint8_t* data, std::size_t n) {
  std::copy(data, data + n, view.base + offset);
  return true;
}

namespace {

// Writes all n bytes at the file's current place; false when any did not go.
bool WriteAll(HANDLE file, const void* data, std::size_t n) {
  const auto* p = static_cast<const char*>(data);
  while (n > 0) {
    DWORD put = 0;
    const DWORD chunk = n > 0x10000000 ? 0x10000000 : static_cast<DWORD>(n);
    if (!WriteFile(file, p, chunk, &put, nullptr) || put == 0) return false;
    p += put;
    n -= put;
  }
  return true;
}

}  // namespace

bool PlatformWriteDurably(const std::string& path, const void* data, std::size_t n) {
  OwnedHandle file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.get()) return false;
  if (!IoStepMayRun(IoStep::JournalWrite)) return false;
  if (!WriteAll(file.get(), data, n)) return false;
  if (!IoStepMayRun(IoStep::JournalSync) || !FlushFileBuffers(file.get())) return false;
  return CloseHandle(file.release()) != FALSE;
}

bool PlatformWriteTail(const std::string& path, std::uint64_t offset, const void* data, std::size_t n) {
  OwnedHandle file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.get() || !IoStepMayRun(IoStep::HistoryWrite)) return false;
  LARGE_INTEGER at{};
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) || !SetEndOfFile(file.get())) return false;
  if (!WriteAll(file.get(), data, n)) return false;
  if (!IoStepMayRun(IoStep::HistorySync) || !FlushFileBuffers(file.get())) return false;
  return CloseHandle(file.release()) != FALSE;
}

bool PlatformRename(const std::string& from, const std::string& to) {
  return IoStepMayRun(IoStep::HistoryRename) &&
         MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// The file system keeps its own metadata journal: a new file's entry needs no sync.
bool PlatformSyncFolderOf(const std::string&) { return IoStepMayRun(IoStep::FolderSync); }

bool PlatformRemoveFile(const std::string& path) {
  return IoStepMayRun(IoStep::JournalRemove) &&
         (DeleteFileW(Wide(path).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND);
}

std::optional<std::vector<std::uint8_t>> PlatformReadWholeFile(const std::string& path) {
  const PlatformReadFile file = PlatformOpenForReading(path);
  if (file.handle == kNoHandle) return std::nullopt;
  OwnedHandle owned(file.handle);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size));
  if (PlatformReadAt(owned.get(), 0, bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
  return bytes;
}

PlatformReadFile PlatformOpenForReading(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {kNoHandle, 0};
  OwnedHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  LARGE_INTEGER size{};
  if (!file.get() || !GetFileSizeEx(file.get(), &size)) return {kNoHandle, 0};
  return {file.release(), static_cast<std::uint64_t>(size.QuadPart)};
}

std::size_t PlatformReadAt(NativeHandle handle, std::uint64_t offset, void* destination, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    OVERLAPPED at{};
    const std::uint64_t next = offset + done;
    at.Offset = static_cast<DWORD>(next);
    at.OffsetHigh = static_cast<DWORD>(next >> 32);
    DWORD got = 0;
    if (!ReadFile(handle, static_cast<char*>(destination) + done, static_cast<DWORD>(n - done), &got, &at) ||
        got == 0) {
      break;
    }
    done += got;
  }
  return done;
}

void PlatformCloseFile(NativeHandle handle) {
  if (handle != kNoHandle) CloseHandle(handle);
}

NativeHandle PlatformOpenForLocking(const std::string& path, bool exclusive) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ | (exclusive ? GENERIC_WRITE : 0),
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  return file == INVALID_HANDLE_VALUE ? kNoHandle : file;
}

namespace {

OVERLAPPED LockPlace() {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(kLockByte);
  at.OffsetHigh = static_cast<DWORD>(kLockByte >> 32);
  return at;
}

}  // namespace

LockTry PlatformTryLock(NativeHandle handle, bool exclusive) {
  OVERLAPPED at = LockPlace();
  const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
  if (LockFileEx(handle, flags, 0, 1, 0, &at)) return LockTry::Taken;
  const DWORD error = GetLastError();
  return error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION || error == ERROR_IO_PENDING ? LockTry::Busy
                                                                                                       : LockTry::Failed;
}

void PlatformUnlockAndClose(NativeHandle handle) {
  if (handle == kNoHandle) return;
  OVERLAPPED at = LockPlace();
  UnlockFileEx(handle, 0, 1, 0, &at);  // at once, rather than when the system gets round to the closed handle
  CloseHandle(handle);
}

std::optional<std::uint64_t> PlatformDirectorySize(std::string_view path) {
  const std::string normalized = NormalizePath(path);
  if (normalized.empty()) return std::nullopt;
  WIN32_FIND_DATAW data{};
  HANDLE search = FindFirstFileW(Wide(normalized).c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  FindClose(search);
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

unsigned char PlatformUpperChar(unsigned char c) {
  char text[1] = {static_cast<char>(c)};
  CharUpperBuffA(text, 1);
  return static_cast<unsigned char>(text[0]);
}

unsigned char PlatformLowerChar(unsigned char c) {
  char text[1] = {static_cast<char>(c)};
  CharLowerBuffA(text, 1);
  return static_cast<unsigned char>(text[0]);
}

}  // namespace rostrel
