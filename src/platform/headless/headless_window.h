// A window of the headless backend: the controls of its template held as plain state, and a
// driver with which a test acts as the operator (click, type, double-click a row, press
// Enter...). Setting a control from code fires nothing; the driver fires what the operator's
// action would. A hidden or disabled control cannot be clicked or typed into; nor can any
// control while the window is not the one taking input (a message box or a later modal
// window is open, or the window has ended): the driver call then returns false and fires
// nothing.
//
// Threads: UI thread only, except the notification target.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/headless/control_state.h"
#include "platform/notification_queue.h"
#include "platform/window.h"

namespace ardvix::headless {

class HeadlessBackend;

class HeadlessWindow : public platform::Window {
 public:
  HeadlessWindow(HeadlessBackend& backend, const platform::DialogTemplate& tmpl,
                 platform::WindowEvents& events, platform::Window* parent);
  ~HeadlessWindow() override;
  HeadlessWindow(const HeadlessWindow&) = delete;
  HeadlessWindow& operator=(const HeadlessWindow&) = delete;

  // OnInitDialog, then the backend's modal script for this template (if any), which drives
  // the window and normally ends it; a window still running afterwards ends with Cancel.
  // Then OnDestroy, the notification target is closed and the timers are dropped.
  int RunModal() override;
  void EndDialog(int result) override;

  void ShowControl(int id, bool show) override;
  bool IsControlVisible(int id) const override;
  void EnableControl(int id, bool enable) override;
  bool IsControlEnabled(int id) const override;
  // A single-line edit keeps at most its text limit, also of a text set by code (as the Qt
  // line edit does); a multi-line edit is not limited.
  void SetText(int id, const std::string& utf8) override;
  // A drop-down gives its selected item, an address field "a.b.c.d" (blanks read 0).
  std::string GetText(int id) const override;
  void SetTextLimit(int id, int max_chars) override;  // 0 or less: no limit
  // Checks one radio button only; the others of its group keep their marks.
  void SetCheck(int id, bool checked) override;
  bool GetCheck(int id) const override;
  void SetFocus(int id) override;
  int FocusedControl() const override { return focus_; }
  int LineCount(int id) const override;
  void ScrollToEnd(int id) override;
  void InsertColumn(int list_id, int column, const std::string& header, int width_px) override;
  void SetListFullRowSelect(int list_id, bool full_row_select, bool grid_lines) override;
  int RowCount(int list_id) const override;
  int AppendRow(int list_id, const std::vector<std::string>& cells) override;
  std::string CellText(int list_id, int row, int column) const override;
  void DeleteAllRows(int list_id) override;
  void SetIpAddress(int id, uint8_t a, uint8_t b, uint8_t c, uint8_t d) override;
  void ClearIpAddress(int id) override;
  platform::IpAddressParts GetIpAddress(int id) const override;
  void AddItem(int id, const std::string& item) override;
  void SelectItem(int id, int index) override;  // out of range: nothing selected
  int SelectedItem(int id) const override;
  void SetIcon(const platform::IconImage& icon) override;
  void AppendSystemMenuItem(int command, const std::string& text) override;
  void SetTimer(int timer_id, int period_ms) override;
  void KillTimer(int timer_id) override;
  void MessageBox(const std::string& utf8) override;
  void ShowTextWindow(const std::string& title, const std::string& utf8) override;
  std::shared_ptr<platform::NotificationTarget> notification_target() override;

  // --- Driver: the operator's actions. ---
  // Push button: OnCommand(id). Radio button: checks it, unchecks the rest of its group
  // (from a kGroup control or the first radio of a run, up to the next kGroup or non-radio
  // control), then OnCommand(id).
  bool Click(int id);
  // OnCommand(id) whatever the state of the control (for commands whose buttons are hidden).
  void SendCommand(int id);
  // Replaces an edit's text as typing it would: at most text-limit characters (UTF-8 code
  // points), letters in capitals for kUpperCase. A read-only edit refuses. Fires nothing.
  bool TypeText(int id, const std::string& utf8);
  // "10.0..5" fills parts 1, 2 and 4 and leaves the third blank; "" blanks all. A part
  // above 255 becomes 255, as the field corrects it. Malformed input returns false.
  bool TypeIpAddress(int id, const std::string& dotted_with_blanks);
  bool ClickList(int list_id);
  // OnListClick, then OnListDoubleClick(list_id, row); row -1 is the list's empty area.
  bool DoubleClickList(int list_id, int row);
  bool ChooseItem(int dropdown_id, int index);  // selects, then OnSelectionChange
  // OnCommand of the default push button (when it can be pressed), or OnCommand(1) when the
  // window has none.
  bool PressEnter();
  bool PressEscape();  // OnCommand(kIdCancel)
  bool CloseBox();     // OnCommand(kIdCancel)
  bool ChooseSysCommand(int command);
  bool FocusControl(int id);  // moves the focus, then OnFocusGained(id, previous)

  // --- Introspection. ---
  const platform::DialogTemplate& tmpl() const { return tmpl_; }
  const ControlState* Control(int id) const;
  platform::ControlKind Kind(int id) const;
  bool TimerRunning(int timer_id) const { return timers_.count(timer_id) != 0; }
  int TimerPeriod(int timer_id) const;  // -1 when not running
  std::optional<uint64_t> TimerDue(int timer_id) const;
  std::vector<std::pair<std::string, int>> Columns(int list_id) const;
  int TextLimit(int id) const;
  bool FullRowSelect(int list_id) const;
  bool GridLines(int list_id) const;
  bool ScrolledToEnd(int id) const;
  std::vector<std::string> Items(int dropdown_id) const;
  const platform::IconImage* Icon() const { return icon_ ? &*icon_ : nullptr; }
  const std::vector<std::pair<int, std::string>>& system_menu() const { return system_menu_; }
  platform::Window* parent() const { return parent_; }
  bool ended() const { return ended_; }
  bool destroyed() const { return destroyed_; }
  int result() const { return result_; }
  // Whether the operator can act on this window now (see the top of this file).
  bool TakesInput() const;

 private:
  friend class HeadlessBackend;
  struct Timer {
    int period_ms = 0;
    uint64_t due_ms = 0;
    uint64_t order = 0;  // ties of due time fire in the order the timers were (re)started
  };

  ControlState* Find(int id);
  const ControlState* Find(int id) const;
  // The control, if the operator can act on it now.
  ControlState* Operable(int id);
  void CheckRadioInGroup(int id);
  void GiveInitialFocus();
  // Backend side: the earliest timer, and firing one (rescheduled from now before the handler
  // runs, so a handler that restarts or kills it wins).
  std::optional<std::pair<uint64_t, uint64_t>> EarliestTimer(int* timer_id) const;
  void FireTimer(int timer_id);

  HeadlessBackend& backend_;
  platform::DialogTemplate tmpl_;
  platform::WindowEvents& events_;
  platform::Window* parent_;
  std::vector<ControlState> controls_;
  std::shared_ptr<platform::NotificationQueue> queue_;
  std::map<int, Timer> timers_;
  std::optional<platform::IconImage> icon_;
  std::vector<std::pair<int, std::string>> system_menu_;
  int focus_ = -1;
  bool run_started_ = false;
  bool ended_ = false;
  bool destroyed_ = false;
  int result_ = platform::kIdCancel;
};

}  // namespace ardvix::headless
