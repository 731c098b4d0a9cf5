// Everything a headless window knows of one control, built from its template entry and then
// changed by code (the setters) or by the test driver (acting as the operator).
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_template.h"
#include "platform/window.h"

namespace ardvix::headless {

struct ControlState {
  int id = -1;
  platform::ControlKind kind = platform::ControlKind::kStaticText;
  uint32_t style = platform::kStyleNone;
  std::string text;  // caption of buttons and static texts, contents of edits
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  int text_limit = -1;  // characters an edit takes (see HeadlessWindow::SetText); -1: no limit
  // Set by ScrollToEnd, cleared when the text changes (a new text shows from its top).
  bool scrolled_to_end = false;

  // List view.
  std::vector<std::pair<std::string, int>> columns;  // header, width in pixels
  std::vector<std::vector<std::string>> rows;
  bool full_row_select = false;
  bool grid_lines = false;

  // IPv4 address field.
  platform::IpAddressParts ip;

  // Drop-down list.
  std::vector<std::string> items;
  int selected = -1;

  explicit ControlState(const platform::ControlTemplate& t)
      : id(t.id),
        kind(t.kind),
        style(t.style),
        text(t.text),
        visible((t.style & platform::kHidden) == 0),
        enabled((t.style & platform::kDisabled) == 0) {}
};

}  // namespace ardvix::headless
