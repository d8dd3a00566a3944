// The editor's entry point: process-wide values, the common controls, then
// FORM1 run modally until the user closes it.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "app/main_window.h"
#include "forms/form_engine.h"
#include "forms/handles.h"

namespace rostrel {
namespace {

struct Application {
  bool initialised = false;
  HINSTANCE instance = nullptr;
  std::string module_path;
  std::string module_file;
  OwnedHandle instance_mutex;  // marks the running copies; never waited on
  OwnedIcon large_icon;
  OwnedIcon small_icon;
};
Application g_app;

void InitApplication() {
  if (g_app.initialised) return;
  g_app.initialised = true;
  HMODULE module = GetModuleHandleA(nullptr);
  if (!g_app.instance) g_app.instance = module;
  char path[MAX_PATH] = {};
  GetModuleFileNameA(g_app.instance, path, sizeof path);
  g_app.module_path = path;
  g_app.module_file = g_app.module_path.substr(g_app.module_path.find_last_of(":\\") + 1);
  g_app.instance_mutex.reset(CreateMutexA(nullptr, FALSE, ("VDAPP_" + g_app.module_file).c_str()));
  HICON large = nullptr, small = nullptr;
  ExtractIconExA(path, 0, &large, &small, 1);
  if (large && small == large) small = nullptr;  // one icon for both: the small one gets a copy
  g_app.large_icon.reset(large);
  g_app.small_icon.reset(small);
  if (large && !small) g_app.small_icon.reset(CopyIcon(large));
}

using InitControlsEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

void InitCommonControlSet() {
  InitCommonControls();
  HMODULE controls = GetModuleHandleA("COMCTL32.DLL");
  if (reinterpret_cast<std::uintptr_t>(controls) <= 32) return;
  auto init = reinterpret_cast<InitControlsEx>(reinterpret_cast<void*>(GetProcAddress(controls, "InitCommonControlsEx")));
  if (!init) return;
  INITCOMMONCONTROLSEX classes{8, 0x7FF};
  init(&classes);
}

int RunMainForm(int show) {
  HWND form = CreateForm("FORM1", nullptr, 0);
  if (!form) return 0;
  if (g_app.large_icon) SendMessageA(form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_app.large_icon.get()));
  if (g_app.small_icon) SendMessageA(form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_app.small_icon.get()));
  ShowWindow(form, show);
  PostMessageA(form, kReadCommandLineMessage, 0, 0);  // once the form's loop has set it up
  ShowFormAndWait(form, nullptr);
  return 0;
}

}  // namespace
}  // namespace rostrel

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  rostrel::g_app.instance = instance;
  rostrel::InitApplication();
  rostrel::InitCommonControlSet();
  rostrel::RegisterMainWindow();
  const std::string problems = rostrel::CheckMainWindowBindings();
  if (!problems.empty()) {
    MessageBoxA(nullptr, ("The program's handlers do not fit its forms:\n" + problems).c_str(), rostrel::kMessageCaption,
                MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return 1;
  }
  return rostrel::RunMainForm(show);
}
