#include "platform/headless/headless_window.h"

#include <algorithm>

#include "platform/headless/headless_backend.h"
#include "platform/headless/typing.h"

namespace ardvix::headless {

using platform::ControlKind;

namespace {

bool CanTakeFocus(const ControlState& c) {
  return c.id != -1 && c.visible && c.enabled && c.kind != ControlKind::kStaticText &&
         c.kind != ControlKind::kIcon;
}

}  // namespace

HeadlessWindow::HeadlessWindow(HeadlessBackend& backend, const platform::DialogTemplate& tmpl,
                               platform::WindowEvents& events, platform::Window* parent)
    : backend_(backend), tmpl_(tmpl), events_(events), parent_(parent) {
  controls_.reserve(tmpl_.controls.size());
  for (const auto& t : tmpl_.controls) controls_.emplace_back(t);
  queue_ = std::make_shared<platform::NotificationQueue>(
      [this](const platform::Notification& n) { events_.OnNotification(n); },
      [&backend] { backend.Wake(); });
  backend_.Register(this);
}

HeadlessWindow::~HeadlessWindow() {
  // A worker may still hold the target: it must stop delivering to a window that is gone.
  queue_->Close();
  backend_.Unregister(this);
}

int HeadlessWindow::RunModal() {
  if (run_started_) return result_;
  run_started_ = true;
  backend_.EnterModal(this);
  events_.OnInitDialog();
  if (focus_ == -1) GiveInitialFocus();
  if (!ended_) {
    if (auto script = backend_.ModalScript(tmpl_.id)) script(*this);
  }
  if (!ended_) EndDialog(platform::kIdCancel);
  backend_.LeaveModal(this);
  events_.OnDestroy();
  queue_->Close();
  timers_.clear();
  destroyed_ = true;
  return result_;
}

void HeadlessWindow::EndDialog(int result) {
  if (destroyed_) return;
  ended_ = true;
  result_ = result;
}

ControlState* HeadlessWindow::Find(int id) {
  if (id == -1) return nullptr;
  for (auto& c : controls_) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

const ControlState* HeadlessWindow::Find(int id) const {
  return const_cast<HeadlessWindow*>(this)->Find(id);
}

const ControlState* HeadlessWindow::Control(int id) const { return Find(id); }

void HeadlessWindow::ShowControl(int id, bool show) {
  if (auto* c = Find(id)) c->visible = show;
}

bool HeadlessWindow::IsControlVisible(int id) const {
  const auto* c = Find(id);
  return c && c->visible;
}

void HeadlessWindow::EnableControl(int id, bool enable) {
  if (auto* c = Find(id)) c->enabled = enable;
}

bool HeadlessWindow::IsControlEnabled(int id) const {
  const auto* c = Find(id);
  return c && c->enabled;
}

namespace {

// A single-line edit never holds more than its limit, whoever sets the text (as the Qt line
// edit does); a multi-line box is not limited.
bool HoldsLimitedText(const ControlState& c) {
  return c.kind == ControlKind::kEdit && (c.style & platform::kMultiLine) == 0;
}

}  // namespace

void HeadlessWindow::SetText(int id, const std::string& utf8) {
  if (auto* c = Find(id)) {
    c->text = HoldsLimitedText(*c) ? TypedText(utf8, c->text_limit, false) : utf8;
    c->scrolled_to_end = false;
  }
}

std::string HeadlessWindow::GetText(int id) const {
  const auto* c = Find(id);
  if (!c) return {};
  if (c->kind == ControlKind::kDropDownList) {
    return c->selected >= 0 ? c->items[static_cast<size_t>(c->selected)] : std::string();
  }
  if (c->kind == ControlKind::kIpAddress) {
    return std::to_string(c->ip.part[0]) + "." + std::to_string(c->ip.part[1]) + "." +
           std::to_string(c->ip.part[2]) + "." + std::to_string(c->ip.part[3]);
  }
  return c->text;
}

void HeadlessWindow::SetTextLimit(int id, int max_chars) {
  auto* c = Find(id);
  if (!c || c->kind != ControlKind::kEdit) return;
  c->text_limit = max_chars > 0 ? max_chars : -1;  // 0 lifts the limit
  if (HoldsLimitedText(*c)) c->text = TypedText(c->text, c->text_limit, false);
}

void HeadlessWindow::SetCheck(int id, bool checked) {
  auto* c = Find(id);
  if (c && c->kind == ControlKind::kRadioButton) c->checked = checked;
}

bool HeadlessWindow::GetCheck(int id) const {
  const auto* c = Find(id);
  return c && c->checked;
}

void HeadlessWindow::SetFocus(int id) {
  if (Find(id)) focus_ = id;
}

int HeadlessWindow::LineCount(int id) const {
  const auto* c = Find(id);
  if (!c || c->kind != ControlKind::kEdit) return 0;
  if ((c->style & platform::kMultiLine) == 0) return 1;
  int lines = 1;
  for (size_t at = c->text.find("\r\n"); at != std::string::npos;
       at = c->text.find("\r\n", at + 2)) {
    ++lines;
  }
  return lines;
}

void HeadlessWindow::ScrollToEnd(int id) {
  if (auto* c = Find(id)) c->scrolled_to_end = true;
}

void HeadlessWindow::InsertColumn(int list_id, int column, const std::string& header,
                                  int width_px) {
  auto* c = Find(list_id);
  if (!c || column < 0) return;
  const auto at = std::min(static_cast<size_t>(column), c->columns.size());
  c->columns.insert(c->columns.begin() + static_cast<std::ptrdiff_t>(at), {header, width_px});
}

void HeadlessWindow::SetListFullRowSelect(int list_id, bool full_row_select, bool grid_lines) {
  if (auto* c = Find(list_id)) {
    c->full_row_select = full_row_select;
    c->grid_lines = grid_lines;
  }
}

int HeadlessWindow::RowCount(int list_id) const {
  const auto* c = Find(list_id);
  return c ? static_cast<int>(c->rows.size()) : 0;
}

int HeadlessWindow::AppendRow(int list_id, const std::vector<std::string>& cells) {
  auto* c = Find(list_id);
  if (!c) return -1;
  c->rows.push_back(cells);
  return static_cast<int>(c->rows.size()) - 1;
}

std::string HeadlessWindow::CellText(int list_id, int row, int column) const {
  const auto* c = Find(list_id);
  if (!c || row < 0 || column < 0 || static_cast<size_t>(row) >= c->rows.size()) return {};
  const auto& cells = c->rows[static_cast<size_t>(row)];
  return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)]
                                                    : std::string();
}

void HeadlessWindow::DeleteAllRows(int list_id) {
  if (auto* c = Find(list_id)) c->rows.clear();
}

void HeadlessWindow::SetIpAddress(int id, uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  if (auto* control = Find(id)) control->ip = {{a, b, c, d}, 4};
}

void HeadlessWindow::ClearIpAddress(int id) {
  if (auto* c = Find(id)) c->ip = {};
}

platform::IpAddressParts HeadlessWindow::GetIpAddress(int id) const {
  const auto* c = Find(id);
  return c ? c->ip : platform::IpAddressParts{};
}

void HeadlessWindow::AddItem(int id, const std::string& item) {
  if (auto* c = Find(id)) c->items.push_back(item);
}

void HeadlessWindow::SelectItem(int id, int index) {
  auto* c = Find(id);
  if (!c) return;
  c->selected = (index >= 0 && static_cast<size_t>(index) < c->items.size()) ? index : -1;
}

int HeadlessWindow::SelectedItem(int id) const {
  const auto* c = Find(id);
  return c ? c->selected : -1;
}

void HeadlessWindow::SetIcon(const platform::IconImage& icon) { icon_ = icon; }

void HeadlessWindow::AppendSystemMenuItem(int command, const std::string& text) {
  system_menu_.emplace_back(command, text);
}

void HeadlessWindow::SetTimer(int timer_id, int period_ms) {
  if (destroyed_) return;
  Timer& t = timers_[timer_id];
  t.period_ms = std::max(period_ms, 1);  // a zero period must not stall virtual time
  t.due_ms = backend_.clock().NowMs() + static_cast<uint64_t>(t.period_ms);
  t.order = backend_.NextTimerOrder();
}

void HeadlessWindow::KillTimer(int timer_id) { timers_.erase(timer_id); }

void HeadlessWindow::MessageBox(const std::string& utf8) { backend_.MessageBox(utf8); }

void HeadlessWindow::ShowTextWindow(const std::string& title, const std::string& utf8) {
  backend_.RecordTextWindow(title, utf8);
}

std::shared_ptr<platform::NotificationTarget> HeadlessWindow::notification_target() {
  return queue_;
}

// --- Driver ---

bool HeadlessWindow::TakesInput() const {
  if (ended_ || destroyed_ || backend_.AnyBoxOpen()) return false;
  const HeadlessWindow* top = backend_.TopModal();
  return top == nullptr || top == this;
}

ControlState* HeadlessWindow::Operable(int id) {
  ControlState* c = Find(id);
  if (!c || !c->visible || !c->enabled || !TakesInput()) return nullptr;
  return c;
}

bool HeadlessWindow::Click(int id) {
  ControlState* c = Operable(id);
  if (!c) return false;
  switch (c->kind) {
    case ControlKind::kPushButton:
    case ControlKind::kDefPushButton:
      break;
    case ControlKind::kRadioButton:
      CheckRadioInGroup(id);
      break;
    default:
      return false;
  }
  events_.OnCommand(id);
  return true;
}

void HeadlessWindow::CheckRadioInGroup(int id) {
  const auto is_radio = [](const ControlState& c) { return c.kind == ControlKind::kRadioButton; };
  size_t at = 0;
  while (controls_[at].id != id) ++at;
  size_t first = at;
  while (first > 0 && (controls_[first].style & platform::kGroup) == 0 &&
         is_radio(controls_[first - 1])) {
    --first;
  }
  size_t end = at + 1;
  while (end < controls_.size() && is_radio(controls_[end]) &&
         (controls_[end].style & platform::kGroup) == 0) {
    ++end;
  }
  for (size_t i = first; i < end; ++i) controls_[i].checked = (i == at);
}

void HeadlessWindow::SendCommand(int id) { events_.OnCommand(id); }

bool HeadlessWindow::TypeText(int id, const std::string& utf8) {
  ControlState* c = Operable(id);
  if (!c || c->kind != ControlKind::kEdit || (c->style & platform::kReadOnly) != 0) return false;
  c->text = TypedText(utf8, c->text_limit, (c->style & platform::kUpperCase) != 0);
  c->scrolled_to_end = false;
  return true;
}

bool HeadlessWindow::TypeIpAddress(int id, const std::string& dotted_with_blanks) {
  ControlState* c = Operable(id);
  if (!c || c->kind != ControlKind::kIpAddress) return false;
  const auto parts = TypedIpAddress(dotted_with_blanks);
  if (!parts) return false;
  c->ip = *parts;
  return true;
}

bool HeadlessWindow::ClickList(int list_id) {
  ControlState* c = Operable(list_id);
  if (!c || c->kind != ControlKind::kListView) return false;
  events_.OnListClick(list_id);
  return true;
}

bool HeadlessWindow::DoubleClickList(int list_id, int row) {
  ControlState* c = Operable(list_id);
  if (!c || c->kind != ControlKind::kListView) return false;
  if (row < -1 || row >= static_cast<int>(c->rows.size())) return false;
  events_.OnListClick(list_id);
  events_.OnListDoubleClick(list_id, row);
  return true;
}

bool HeadlessWindow::ChooseItem(int dropdown_id, int index) {
  ControlState* c = Operable(dropdown_id);
  if (!c || c->kind != ControlKind::kDropDownList) return false;
  if (index < 0 || index >= static_cast<int>(c->items.size())) return false;
  c->selected = index;
  events_.OnSelectionChange(dropdown_id, index);
  return true;
}

bool HeadlessWindow::PressEnter() {
  if (!TakesInput()) return false;
  for (const auto& c : controls_) {
    if (c.kind != ControlKind::kDefPushButton) continue;
    // A default button that cannot be pressed makes Enter do nothing.
    if (!c.visible || !c.enabled) return false;
    events_.OnCommand(c.id);
    return true;
  }
  events_.OnCommand(platform::kIdOk);
  return true;
}

bool HeadlessWindow::PressEscape() {
  if (!TakesInput()) return false;
  events_.OnCommand(platform::kIdCancel);
  return true;
}

bool HeadlessWindow::CloseBox() { return PressEscape(); }

bool HeadlessWindow::ChooseSysCommand(int command) {
  if (!TakesInput()) return false;
  events_.OnSysCommand(command);
  return true;
}

bool HeadlessWindow::FocusControl(int id) {
  ControlState* c = Operable(id);
  if (!c || !CanTakeFocus(*c)) return false;
  const int previous = focus_;
  focus_ = id;
  events_.OnFocusGained(id, previous);
  return true;
}

void HeadlessWindow::GiveInitialFocus() {
  for (const auto& c : controls_) {
    if (CanTakeFocus(c)) {
      focus_ = c.id;
      return;
    }
  }
}

// --- Introspection ---

platform::ControlKind HeadlessWindow::Kind(int id) const {
  const auto* c = Find(id);
  return c ? c->kind : ControlKind::kStaticText;
}

int HeadlessWindow::TimerPeriod(int timer_id) const {
  auto it = timers_.find(timer_id);
  return it == timers_.end() ? -1 : it->second.period_ms;
}

std::optional<uint64_t> HeadlessWindow::TimerDue(int timer_id) const {
  auto it = timers_.find(timer_id);
  if (it == timers_.end()) return std::nullopt;
  return it->second.due_ms;
}

std::vector<std::pair<std::string, int>> HeadlessWindow::Columns(int list_id) const {
  const auto* c = Find(list_id);
  return c ? c->columns : std::vector<std::pair<std::string, int>>{};
}

int HeadlessWindow::TextLimit(int id) const {
  const auto* c = Find(id);
  return c ? c->text_limit : -1;
}

bool HeadlessWindow::FullRowSelect(int list_id) const {
  const auto* c = Find(list_id);
  return c && c->full_row_select;
}

bool HeadlessWindow::GridLines(int list_id) const {
  const auto* c = Find(list_id);
  return c && c->grid_lines;
}

bool HeadlessWindow::ScrolledToEnd(int id) const {
  const auto* c = Find(id);
  return c && c->scrolled_to_end;
}

std::vector<std::string> HeadlessWindow::Items(int dropdown_id) const {
  const auto* c = Find(dropdown_id);
  return c ? c->items : std::vector<std::string>{};
}

// --- Timers, backend side ---

std::optional<std::pair<uint64_t, uint64_t>> HeadlessWindow::EarliestTimer(int* timer_id) const {
  std::optional<std::pair<uint64_t, uint64_t>> earliest;
  for (const auto& [id, t] : timers_) {
    const std::pair<uint64_t, uint64_t> key{t.due_ms, t.order};
    if (!earliest || key < *earliest) {
      earliest = key;
      *timer_id = id;
    }
  }
  return earliest;
}

void HeadlessWindow::FireTimer(int timer_id) {
  auto it = timers_.find(timer_id);
  if (it == timers_.end()) return;
  it->second.due_ms = backend_.clock().NowMs() + static_cast<uint64_t>(it->second.period_ms);
  it->second.order = backend_.NextTimerOrder();
  events_.OnTimer(timer_id);
}

}  // namespace ardvix::headless
