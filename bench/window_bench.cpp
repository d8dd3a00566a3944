// The list fill in the real window, under Wine: a Read of a 32767-player
// roster against the data-side fill of the same file, a second Read (all rows
// deleted, then filled again) against the first, and Close's deletion of all
// rows against the fill. Google Benchmark has no Windows build here, so this
// is a plain timing loop: each figure is the best of several runs, and the
// ratios are printed last.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "app/grid_edit.h"
#include "app/main_window.h"
#include "app/player_list_view.h"
#include "forms/form_engine.h"
#include "player/field_catalog.h"
#include "player/player_list.h"
#include "tests/roster_builder.h"

using namespace rostrel;

namespace {

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The time of each of runs, each run after before.
std::vector<double> Times(int runs, const std::function<void()>& before, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    before();
    times.push_back(Seconds(work));
  }
  std::sort(times.begin(), times.end());
  return times;
}

double Best(int runs, const std::function<void()>& before, const std::function<void()>& work) {
  return Times(runs, before, work).front();
}

double Median(int runs, const std::function<void()>& before, const std::function<void()>& work) {
  const std::vector<double> times = Times(runs, before, work);
  return times[times.size() / 2];
}

void Pump() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

}  // namespace

int main(int argc, char** argv) {
  INITCOMMONCONTROLSEX controls{8, 0x7FF};
  InitCommonControlsEx(&controls);
  RegisterMainWindow();
  test::TempDir dir;
  const std::string path = dir.File("Big.ROS");
  const test::Bytes bytes = test::RosterBuilder().AddMany(32767).Build().bytes;
  test::WriteFileBytes(path, bytes);
  if (argc > 2) test::WriteFileBytes(argv[2], bytes);  // the same roster, for the command-line import's figure

  HWND form = CreateForm("FORM1", nullptr, 0);
  ShowWindow(form, SW_SHOW);
  ShowFormModeless(form);
  Pump();
  HWND list = GetDlgItem(form, kPlayerList);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

  const double data_fill = Best(runs, [] {}, [&] { FillPlayerList(path, 0); });
  auto close = [&] {
    CloseRosterFile(form, kCloseButton);
    Pump();
  };
  auto read = [&] {
    Editor().path = path;
    ReadRosterFile(form, kReadButton);
    Pump();  // the one redraw at the end belongs to the Read
  };
  const double first_read = Best(runs, close, read);
  const double second_read = Best(runs, read, read);
  const auto rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  const double deletion = Best(runs, read, close);

  // The grid, with six columns shown (the names and the four default fields),
  // each figure the median of 20: an open of the full roster against one of 6
  // players, a header click on each column in turn, and a keystroke in Filter:.
  const std::string small = dir.File("Small.ROS");
  test::WriteFileBytes(small, test::RosterBuilder().AddMany(6).Build().bytes);
  auto open = [&](const std::string& file) {
    return [&, file] {
      Editor().path = file;
      ReadRosterFile(form, kReadButton);
      UpdateWindow(form);
      Pump();
    };
  };
  const double open_small = Median(20, close, open(small));
  const double open_full = Median(20, close, open(path));
  const int sorted[] = {0, 1, 3, 4, 5, 6};
  int click = 0;
  const double sort = Median(20, [] {}, [&] {
    SortByListColumn(list, sorted[click++ % 6], 0);
    UpdateWindow(list);
  });
  HWND filter = GetDlgItem(form, kFilterBox);
  const char* typed[] = {"F", "F1", "F12", "F1", "F", "L", "L3", "Height>6-8", "Height>6-", "Position=C"};
  int key = 0;
  const double keystroke = Median(20, [] {}, [&] {
    SetWindowTextA(filter, typed[key++ % 10]);  // EN_CHANGE filters, as a typed key does
    UpdateWindow(list);
  });
  SetWindowTextA(filter, "");

  // Many players at once, each the median of 5 on the fresh roster: Speed +1
  // set for all 32767 players and saved (tools/bench.sh sets it against the
  // command-line import of the same change), and a block of 32767 rows of
  // three columns pasted by record position with Ctrl+V.
  auto fresh = [&] {
    close();
    test::WriteFileBytes(path, bytes);
    std::remove((path + ".history").c_str());  // each save the first of its roster
    open(path)();
  };
  const Field& speed = *FindField("Speed");
  const double set_save = Median(5, fresh, [&] {
    std::vector<std::string> problems;
    const EditorState& e = Editor();
    KeepGridEdits(form, SetEdits(e.view, e.pending, ListedPositions(), speed, "+1", problems), "Nothing was set");
    SaveEdits(form);
  });
  fresh();
  std::wstring block = L"Record\tSpeed\tWeight\tPBPID\r\n";
  for (std::uint32_t p : ListedPositions()) {
    const int v = std::stoi(ReadFieldText(Editor().view, p, speed));
    block += std::to_wstring(p) + L"\t" + std::to_wstring((v + 1) % 100) + L"\t" + std::to_wstring(150 + v) + L"\t" +
             std::to_wstring(v + 7) + L"\r\n";
  }
  const double paste = Median(5, [&] {
    Editor().pending.Clear();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (block.size() + 1) * sizeof(wchar_t));
    std::copy(block.c_str(), block.c_str() + block.size() + 1, static_cast<wchar_t*>(GlobalLock(memory)));
    GlobalUnlock(memory);
    OpenClipboard(form);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    SetForegroundWindow(form);
    SetFocus(list);
    Pump();
  }, [&] {
    INPUT keys[4] = {};
    const WORD vk[4] = {VK_CONTROL, 'V', 'V', VK_CONTROL};
    for (int k = 0; k < 4; ++k) {
      keys[k].type = INPUT_KEYBOARD;
      keys[k].ki.wVk = vk[k];
      keys[k].ki.dwFlags = k < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(4, keys, sizeof(INPUT));
    while (Editor().pending.PlayerCount() < 32767) {
      MSG message;
      if (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
      }
    }
    UpdateWindow(list);
  });
  Editor().pending.Clear();
  DestroyWindow(form);

  std::printf("rows listed by a Read                 %ld\n", static_cast<long>(rows));
  std::printf("data-side fill of 32767 players       %8.3f s\n", data_fill);
  std::printf("first Read (empty list)               %8.3f s\n", first_read);
  std::printf("second Read (delete all, fill again)  %8.3f s\n", second_read);
  std::printf("Close (delete all rows)               %8.3f s\n", deletion);
  std::printf("ratio  window Read / data-side fill   %8.2f\n", first_read / data_fill);
  std::printf("ratio  second Read / first Read       %8.2f\n", second_read / first_read);
  std::printf("ratio  deletion / first Read          %8.2f\n", deletion / first_read);
  std::printf("goal   whole Read under 1 s           %s\n", first_read < 1.0 && second_read < 1.0 ? "met" : "NOT met");
  std::printf("open of 6 players (median of 20)      %8.3f s\n", open_small);
  std::printf("open of 32767 players, 6 columns      %8.3f s\n", open_full);
  std::printf("sort by a column, 32767 players       %8.3f s\n", sort);
  std::printf("keystroke in Filter:, list redrawn    %8.3f s\n", keystroke);
  std::printf("ratio  sort / open of 32767 players   %8.2f\n", sort / open_full);
  std::printf("ratio  keystroke / open               %8.2f\n", keystroke / open_full);
  std::printf("goal   open within 0.2 s of 6 players %s\n", open_full - open_small <= 0.2 ? "met" : "NOT met");
  std::printf("goal   sort in 100 ms or less         %s\n", sort <= 0.1 ? "met" : "NOT met");
  std::printf("goal   keystroke in 50 ms or less     %s\n", keystroke <= 0.05 ? "met" : "NOT met");
  std::printf("set Speed +1 for 32767, then Save     %8.3f s\n", set_save);
  std::printf("paste 32767 rows of 3 columns         %8.3f s\n", paste);
  std::printf("goal   paste under 2 s                %s\n", paste < 2.0 ? "met" : "NOT met");
  return rows == 32767 ? 0 : 1;
}
