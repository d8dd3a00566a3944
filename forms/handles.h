// Move-only owners of Win32 handles and GDI objects: each releases what it
// holds exactly once, when it goes or is given something else. Win32 only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <objbase.h>

#include <utility>

namespace rostrel {

// Holds a T that Release gives back; none is the value-initialised T.
template <typename T, void (*Release)(T)>
class Owned {
 public:
  Owned() = default;
  explicit Owned(T value) : value_(value) {}
  Owned(Owned&& other) noexcept : value_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != T{}; }
  // Gives up what it holds without releasing it.
  T release() { return std::exchange(value_, T{}); }
  // Releases what it holds and takes value instead.
  void reset(T value = T{}) {
    if (value_ != T{}) Release(value_);
    value_ = value;
  }

 private:
  T value_{};
};

namespace release {
inline void Handle(HANDLE h) { CloseHandle(h); }
inline void Gdi(HGDIOBJ object) { DeleteObject(object); }
inline void Font(HFONT font) { DeleteObject(font); }
inline void Brush(HBRUSH brush) { DeleteObject(brush); }
inline void Icon(HICON icon) { DestroyIcon(icon); }
inline void Module(HMODULE module) { FreeLibrary(module); }
inline void TaskMemory(void* block) { CoTaskMemFree(block); }
}  // namespace release

using OwnedHandle = Owned<HANDLE, release::Handle>;
using OwnedFont = Owned<HFONT, release::Font>;
using OwnedBrush = Owned<HBRUSH, release::Brush>;
using OwnedIcon = Owned<HICON, release::Icon>;
using OwnedModule = Owned<HMODULE, release::Module>;
using OwnedTaskMemory = Owned<void*, release::TaskMemory>;

// A window's device context from GetDC (the screen's for no window),
// released to that window.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// An object selected into a device context, and selected out again.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc ? SelectObject(dc, object) : nullptr) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (dc_ && previous_) SelectObject(dc_, previous_);
  }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace rostrel
