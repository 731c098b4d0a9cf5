#include "window/log_box.h"

namespace ardvix::window {

void CLogEdit::Attach(platform::Window* window, int control_id) {
  window_ = window;
  control_id_ = control_id;
}

void CLogEdit::AppendLine(const std::string& text) {
  if (window_ == nullptr) return;
  if (window_->LineCount(control_id_) > kMaxLinesBeforeClear) window_->SetText(control_id_, "");
  std::string all = window_->GetText(control_id_);
  if (!all.empty()) all += "\r\n";
  all += text;
  window_->SetText(control_id_, all);
  window_->ScrollToEnd(control_id_);
}

void CLogEdit::OnFocusGained(int previous_id, int first_tab_stop_id) {
  if (window_ == nullptr || accept_focus_) return;
  const bool had_other = previous_id >= 0 && previous_id != control_id_;
  window_->SetFocus(had_other ? previous_id : first_tab_stop_id);
}

}  // namespace ardvix::window
