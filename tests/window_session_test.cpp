// The same editing sessions over the in-memory pages and over the real
// controls of the main window, step by step: after every step each control
// must show the same in both, and every save must write the same bytes. The
// in-memory pages model what the controls do; where the controls behave
// otherwise (under Wine or on Windows), this finds it.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "forms/form_engine.h"
#include "pages/window_pages.h"
#include "player/vitals_table.h"
#include "tests/fuzz/session.h"
#include "tests/roster_builder.h"

#include <commctrl.h>

namespace rostrel {
namespace {

using test::Bytes;
using test::ReadFileBytes;

// A user's hands on the real controls: typing is a select-all, a backspace and
// one WM_CHAR per character, so the control's own limit and digits-only style
// decide what it takes.
class WindowInput : public fuzz::UserInput {
 public:
  explicit WindowInput(HWND form) : form_(form) {}
  void Type(int tab, int id, std::string_view text) override {
    HWND box = Control(tab, id);
    SendMessageA(box, EM_SETSEL, 0, -1);
    SendMessageA(box, WM_CHAR, VK_BACK, 0);
    for (char c : text) SendMessageA(box, WM_CHAR, static_cast<unsigned char>(c), 0);
  }
  void ToggleCheck(int tab, int id) override { SendMessageA(Control(tab, id), BM_CLICK, 0, 0); }
  void PickItem(int tab, int id, int item) override {
    SendMessageA(Control(tab, id), CB_SETCURSEL, static_cast<WPARAM>(item - 1), 0);
  }

 private:
  HWND Control(int tab, int id) const { return GetDlgItem(FindPage(form_, tab), id); }
  HWND form_;
};

// Every control of the pages that a load fills, as each implementation shows it.
std::string Difference(const EditorPages& memory, const EditorPages& window, bool loaded) {
  using namespace vitals;
  std::vector<fuzz::Editable> controls = fuzz::EditableControls();
  for (const VitalsField& f : VitalsFields()) controls.push_back({kVitalsTab, f.control});
  for (const fuzz::Editable& c : controls) {
    const std::string where = "control " + std::to_string(c.tab) + "/" + std::to_string(c.id);
    const VitalsField* f = c.tab == kVitalsTab ? FindVitalsField(c.id) : nullptr;
    if (f && f->list) {
      if (memory.GetComboIndex(c.tab, c.id) != window.GetComboIndex(c.tab, c.id)) {
        return where + ": item " + std::to_string(memory.GetComboIndex(c.tab, c.id)) + " in memory, " +
               std::to_string(window.GetComboIndex(c.tab, c.id)) + " on the control";
      }
    } else if (f && f->kind == VitalsKind::Iff) {
      if (memory.GetCheck(c.tab, c.id) != window.GetCheck(c.tab, c.id)) return "the IFF check marks differ";
    } else if (memory.GetFieldText(c.tab, c.id) != window.GetFieldText(c.tab, c.id)) {
      return where + ": \"" + memory.GetFieldText(c.tab, c.id) + "\" in memory, \"" + window.GetFieldText(c.tab, c.id) +
             "\" on the control";
    }
    if (memory.GetRemembered(c.tab, c.id) != window.GetRemembered(c.tab, c.id)) return where + ": remembered values differ";
  }
  // Before the first load no limit is set: the boxes' own defaults differ.
  for (int id : {kFirstName, kLastName}) {
    if (loaded && memory.GetFieldLimit(kVitalsTab, id) != window.GetFieldLimit(kVitalsTab, id)) return "name limits differ";
  }
  return {};
}

TEST(WindowSession, SeededSessionsMatchTheInMemoryPagesStepByStep) {
  INITCOMMONCONTROLSEX controls{sizeof controls, 0x7FF};
  InitCommonControlsEx(&controls);
  RegisterMainWindow();
  test::TempDir dir;
  const Bytes roster = fuzz::SessionRoster();
  for (std::uint32_t seed : {1u, 2u, 3u}) {
    HWND form = CreateForm("FORM1", nullptr, 0);  // each session starts with empty pages
    ASSERT_NE(form, nullptr);
    const std::string memory_path = dir.File("Memory.ROS"), window_path = dir.File("Window.ROS");
    test::WriteFileBytes(memory_path, roster);
    test::WriteFileBytes(window_path, roster);
    test::MemoryPages memory_pages;
    fuzz::MemoryInput memory_input(memory_pages);
    WindowPages window_pages(form);
    WindowInput window_input(form);
    fuzz::Session in_memory(memory_path, memory_pages, memory_input), on_window(window_path, window_pages, window_input);
    ASSERT_TRUE(in_memory.Open());
    ASSERT_TRUE(on_window.Open());
    const std::vector<fuzz::Action> actions = fuzz::SeededActions(seed, 120);
    bool loaded = false;
    for (std::size_t k = 0; k < actions.size(); ++k) {
      const std::string step = "seed " + std::to_string(seed) + ", step " + std::to_string(k + 1) + " (" +
                               fuzz::Describe(actions[k]) + ")";
      ASSERT_EQ(in_memory.Step(actions[k]), "") << step << ", in memory";
      ASSERT_EQ(on_window.Step(actions[k]), "") << step << ", on the controls";
      loaded = loaded || actions[k].kind == fuzz::Action::Load;
      ASSERT_EQ(Difference(memory_pages, window_pages, loaded), "") << step;
      if (actions[k].kind == fuzz::Action::Save) {
        ASSERT_TRUE(std::equal(in_memory.view().base, in_memory.view().base + in_memory.view().size,
                               on_window.view().base, on_window.view().base + on_window.view().size))
            << step << ": the saves wrote different bytes";
      }
    }
    EXPECT_GE(on_window.saves(), 10u);  // the seeds do save
    DestroyWindow(form);
  }
}

}  // namespace
}  // namespace rostrel
