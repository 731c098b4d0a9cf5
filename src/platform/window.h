// The window side of the platform layer: windows built from dialog templates, controls by
// numeric id, timers, notifications, message boxes and modal runs.
//
// Threads: every operation of Window and UiBackend is called on the UI thread (the thread
// that runs the event loop), and every WindowEvents handler runs on it. The only exception
// is NotificationTarget, which any thread may use.
//
// Handlers: setting a control from code (SetText, SetCheck, SetIpAddress, SelectItem, ...)
// never fires a handler. Handlers fire only for what the operator does, or for what a test
// driver does in the operator's place.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/icon_image.h"

namespace ardvix::platform {

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// A window notification: a code (WM_USER based) and two parameters. A queued notification
// may carry a text of its own (value semantics: nothing for the receiver to release).
struct Notification {
  uint32_t code = 0;
  uintptr_t wparam = 0;
  intptr_t lparam = 0;
  std::string text;
};

// Delivers notifications to one window from any thread.
//  - Send: synchronous. On the UI thread the handler runs before Send returns. From another
//    thread the caller blocks until the UI thread has run the handler. Once the window is
//    destroyed, Send returns at once and nothing runs.
//  - Post: queued. Returns at once; the handler runs later on the UI thread, in posting
//    order. Posted notifications left when the window is destroyed are dropped.
// Shared ownership: a worker may keep the target after the window is gone.
class NotificationTarget {
 public:
  virtual ~NotificationTarget() = default;
  virtual void Send(const Notification& n) = 0;
  virtual void Post(Notification n) = 0;
};

struct IpAddressParts {
  uint8_t part[4] = {0, 0, 0, 0};  // a blank part reads as 0
  int filled = 0;                  // how many of the four parts hold a number
};

// What a window's owner implements. Each handler runs on the UI thread. Defaults do what
// the platform does when a dialog has no handler of its own.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // The window and its controls exist; the owner sets initial states here.
  virtual void OnInitDialog() {}
  // A push or radio button was clicked (radio buttons have already moved their check mark).
  // Command 1 is OK (Enter, or the button with id 1), command 2 is Cancel (Escape, the close
  // box). The defaults end the modal run with that result; see Window::EndDialog.
  virtual void OnCommand(int control_id) = 0;
  virtual void OnListClick(int /*list_id*/) {}
  // row is -1 when the double click hit no row (the list's empty area).
  virtual void OnListDoubleClick(int /*list_id*/, int /*row*/) {}
  virtual void OnSelectionChange(int /*dropdown_id*/, int /*index*/) {}
  virtual void OnTimer(int /*timer_id*/) {}
  virtual void OnNotification(const Notification& /*n*/) {}
  // A command of the window's own menu (the system-menu stand-in).
  virtual void OnSysCommand(int /*command*/) {}
  // A control took the keyboard focus; previous_id is the control that had it (-1: none).
  virtual void OnFocusGained(int /*control_id*/, int /*previous_id*/) {}
  // The window is being destroyed: after the modal run ended, before RunModal returns.
  virtual void OnDestroy() {}
};

class Window {
 public:
  virtual ~Window() = default;

  // Runs a nested event loop until EndDialog, then destroys the window (OnDestroy runs)
  // and returns the result given to EndDialog. Called once per window.
  virtual int RunModal() = 0;
  virtual void EndDialog(int result) = 0;

  // Controls. An unknown id is ignored (getters give empty values).
  virtual void ShowControl(int id, bool show) = 0;
  virtual bool IsControlVisible(int id) const = 0;
  virtual void EnableControl(int id, bool enable) = 0;
  virtual bool IsControlEnabled(int id) const = 0;
  virtual void SetText(int id, const std::string& utf8) = 0;
  virtual std::string GetText(int id) const = 0;
  virtual void SetTextLimit(int id, int max_chars) = 0;
  virtual void SetCheck(int id, bool checked) = 0;
  virtual bool GetCheck(int id) const = 0;
  virtual void SetFocus(int id) = 0;
  virtual int FocusedControl() const = 0;  // -1 when no control of this window has it

  // Multi-line edit: lines are separated by CR LF; an empty box counts as one line.
  virtual int LineCount(int id) const = 0;
  // Scrolls so that the last line is in view.
  virtual void ScrollToEnd(int id) = 0;

  // List view in report mode.
  virtual void InsertColumn(int list_id, int column, const std::string& header,
                            int width_px) = 0;
  virtual void SetListFullRowSelect(int list_id, bool full_row_select, bool grid_lines) = 0;
  virtual int RowCount(int list_id) const = 0;
  virtual int AppendRow(int list_id, const std::vector<std::string>& cells) = 0;
  virtual std::string CellText(int list_id, int row, int column) const = 0;
  virtual void DeleteAllRows(int list_id) = 0;

  // IPv4 address field.
  virtual void SetIpAddress(int id, uint8_t a, uint8_t b, uint8_t c, uint8_t d) = 0;
  virtual void ClearIpAddress(int id) = 0;  // all four parts blank
  virtual IpAddressParts GetIpAddress(int id) const = 0;

  // Drop-down list.
  virtual void AddItem(int id, const std::string& item) = 0;
  virtual void SelectItem(int id, int index) = 0;
  virtual int SelectedItem(int id) const = 0;  // -1 when nothing is selected

  // Window.
  virtual void SetIcon(const IconImage& icon) = 0;
  // Appends a separator and an item that gives OnSysCommand(command).
  virtual void AppendSystemMenuItem(int command, const std::string& text) = 0;

  // Timers by id; setting a running timer starts it counting again from zero.
  virtual void SetTimer(int timer_id, int period_ms) = 0;
  virtual void KillTimer(int timer_id) = 0;

  // A modal box with the warning icon, one OK button and the caption "ardvix". Runs a
  // nested event loop until the operator closes it.
  virtual void MessageBox(const std::string& utf8) = 0;

  // Shows a long text (a command's output) in a window of its own, modally.
  virtual void ShowTextWindow(const std::string& title, const std::string& utf8) = 0;

  virtual std::shared_ptr<NotificationTarget> notification_target() = 0;
};

// Creates windows. parent may be null (a top-level window).
class UiBackend {
 public:
  virtual ~UiBackend() = default;
  virtual std::unique_ptr<Window> CreateDialogWindow(const DialogTemplate& tmpl,
                                                     WindowEvents& events, Window* parent) = 0;
  // The message box of Window::MessageBox for when there is no window (start-up failures).
  virtual void MessageBox(const std::string& utf8) = 0;
};

}  // namespace ardvix::platform
