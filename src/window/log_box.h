// The log box (CLogEdit): a hidden multi-line box that keeps the last lines of what the
// flows report. It never keeps the keyboard focus.
#pragma once

#include <string>

#include "platform/window.h"

namespace ardvix::window {

class CLogEdit {
 public:
  // The box empties itself before an append once it holds more than this many lines.
  static constexpr int kMaxLinesBeforeClear = 50;

  void Attach(platform::Window* window, int control_id);
  void AppendLine(const std::string& text);
  // The box gained the focus: hand it straight back to the control that had it, or to the
  // first control in tab order that can take it when there was none.
  void OnFocusGained(int previous_id, int first_tab_stop_id);

 private:
  platform::Window* window_ = nullptr;
  int control_id_ = -1;
  int accept_focus_ = 0;
};

}  // namespace ardvix::window
