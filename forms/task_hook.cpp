// The per-thread count of forms, made with a thread's first form together with
// the mutex "VD_HKMUTEX" + thread ID, and gone with its last form.
#include "forms/routing_detail.h"

#include "forms/handles.h"

#include <vector>

namespace rostrel {

using routing::kTaskHookProperty;

namespace {

// A thread that shows forms: how many of its forms are counted in.
struct TaskEntry {
  DWORD thread = 0;  // 0: a free entry
  int forms = 0;
};

std::vector<TaskEntry> g_tasks;
OwnedHandle g_hook_mutex;  // "VD_HKMUTEX" + thread ID, while the thread shows forms

TaskEntry* EntryOf(DWORD thread) {
  for (TaskEntry& e : g_tasks) {
    if (e.thread == thread) return &e;
  }
  return nullptr;
}

}  // namespace

void routing::LeaveTaskHook(HWND form) {
  RemovePropA(form, kTaskHookProperty);
  TaskEntry* entry = EntryOf(GetCurrentThreadId());
  if (!entry || --entry->forms >= 1) return;
  *entry = TaskEntry{};
  g_hook_mutex.reset();
}

std::string HookMutexName(DWORD thread_id) { return "VD_HKMUTEX" + std::to_string(thread_id); }

int InstallTaskHook(HWND form) {
  if (!form || GetPropA(form, kTaskHookProperty)) return 0;
  const DWORD thread = GetCurrentThreadId();
  TaskEntry* entry = EntryOf(thread);
  if (!entry) {
    const std::string name = HookMutexName(thread);
    if (OwnedHandle(OpenMutexA(SYNCHRONIZE, FALSE, name.c_str()))) return 0;
    OwnedHandle mutex(CreateMutexA(nullptr, FALSE, name.c_str()));
    if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return 0;
    g_hook_mutex = std::move(mutex);
    entry = EntryOf(0);
    if (!entry) entry = &g_tasks.emplace_back();
  }
  entry->thread = thread;
  ++entry->forms;
  SetPropA(form, kTaskHookProperty, reinterpret_cast<HANDLE>(1));
  return entry->forms;
}

int TaskHookFormCount() {
  const TaskEntry* entry = EntryOf(GetCurrentThreadId());
  return entry ? entry->forms : 0;
}

}  // namespace rostrel
