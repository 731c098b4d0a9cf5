#include "platform/qt/qt_window.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>

#include "platform/qt/control_factory.h"
#include "platform/qt/crlf_text.h"
#include "platform/qt/dialog_font.h"
#include "platform/qt/icon_pixmap.h"
#include "platform/qt/ip_address_field.h"
#include "platform/qt/message_boxes.h"
#include "platform/qt/report_list.h"

namespace ardvix::platform::qt {

namespace {

// Windows runs a timer no faster than every 10 ms; a zero period would spin the loop.
constexpr int kMinTimerPeriodMs = 10;
constexpr int kDefaultTextLimit = 32767;

Qt::WindowFlags FlagsFor(const DialogTemplate& tmpl) {
  Qt::WindowFlags flags = tmpl.shown_on_taskbar ? Qt::Window : Qt::Dialog;
  flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
  if (tmpl.minimize_box) flags |= Qt::WindowMinimizeButtonHint;
  return flags;
}

bool TakesLabelName(ControlKind kind) {
  return kind == ControlKind::kEdit || kind == ControlKind::kIpAddress ||
         kind == ControlKind::kListView || kind == ControlKind::kDropDownList;
}

bool CanTakeTabFocus(const QWidget* widget, const QWidget* window) {
  const QWidget* target = widget->focusProxy() ? widget->focusProxy() : widget;
  return widget->isVisibleTo(window) && widget->isEnabled() &&
         (target->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

}  // namespace

QtWindow::QtWindow(const DialogTemplate& tmpl, WindowEvents& events, QWidget* parent)
    : template_(tmpl), events_(events) {
  surface_ = new DialogSurface(parent, FlagsFor(tmpl));
  surface_->setWindowTitle(QString::fromStdString(tmpl.caption));
  const QFont font = ChooseDialogFont(tmpl.font_name, tmpl.font_points);
  surface_->setFont(font);
  const DialogBaseUnits base = BaseUnitsOf(font);
  const PixelRect client = DialogUnitsToPixels(base, 0, 0, tmpl.cx, tmpl.cy);
  surface_->setFixedSize(client.width, client.height);

  surface_->on_enter = [this] { OnEnter(); };
  surface_->on_cancel = [this] { events_.OnCommand(kIdCancel); };
  surface_->on_menu_command = [this](int command) { events_.OnSysCommand(command); };
  BuildControls(base);

  focus_connection_ =
      QObject::connect(qApp, &QApplication::focusChanged, surface_.data(),
                       [this](QWidget* from, QWidget* to) { OnFocusChanged(from, to); });

  // The wake may come from any thread while the window is being torn down, so it posts to
  // the application object, which outlives every window, and reaches the queue through a
  // weak pointer: a drain that arrives after the window is gone finds nothing to run.
  auto self = std::make_shared<std::weak_ptr<NotificationQueue>>();
  QCoreApplication* app = QCoreApplication::instance();
  queue_ = std::make_shared<NotificationQueue>(
      [this](const Notification& n) { events_.OnNotification(n); },
      [self, app] {
        if (!app) return;
        QMetaObject::invokeMethod(
            app,
            [self] {
              if (auto queue = self->lock()) queue->Drain();
            },
            Qt::QueuedConnection);
      });
  *self = queue_;
}

QtWindow::~QtWindow() { Destroy(); }

void QtWindow::BuildControls(const DialogBaseUnits& base) {
  controls_.reserve(template_.controls.size());
  int group = 0;
  for (const ControlTemplate& item : template_.controls) {
    if (item.style & kGroup) ++group;
    Control control;
    control.id = item.id;
    control.kind = item.kind;
    control.style = item.style;
    control.radio_group = group;
    control.widget = CreateControlWidget(item, base, surface_.data());
    if (IsMultiLineEdit(item)) control.crlf_text = item.text;
    controls_.push_back(std::move(control));
  }
  for (size_t i = 0; i < controls_.size(); ++i) {
    const QString name = AccessibleNameOf(i);
    if (auto* field = qobject_cast<IpAddressField*>(controls_[i].widget)) {
      field->SetAccessibleNames(name);
    } else {
      controls_[i].widget->setAccessibleName(name);
    }
    ConnectControl(controls_[i]);
  }
}

QString QtWindow::AccessibleNameOf(size_t index) const {
  const ControlTemplate& item = template_.controls[index];
  QString name;
  if (TakesLabelName(item.kind)) {
    if (index > 0) {
      const ControlTemplate& before = template_.controls[index - 1];
      if (before.kind == ControlKind::kStaticText) name = QString::fromStdString(before.text);
    }
  } else {
    name = QString::fromStdString(item.text);
  }
  name.remove(QChar(u'&'));
  name = name.trimmed();
  if (name.isEmpty() && item.id != -1) name = QStringLiteral("ctl_%1").arg(item.id);
  return name;
}

void QtWindow::ConnectControl(Control& control) {
  const int id = control.id;
  QWidget* widget = control.widget;
  switch (control.kind) {
    case ControlKind::kPushButton:
    case ControlKind::kDefPushButton:
      QObject::connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, widget,
                       [this, id] { events_.OnCommand(id); });
      break;
    case ControlKind::kRadioButton:
      QObject::connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, widget,
                       [this, id] { OnRadioClicked(id); });
      break;
    case ControlKind::kEdit:
      if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
        // What the operator types replaces the stored text; code sets it with signals blocked.
        QObject::connect(box, &QPlainTextEdit::textChanged, box, [this, id, box] {
          if (Control* c = Find(id)) c->crlf_text = CrLfTextOf(box->toPlainText());
        });
      }
      break;
    case ControlKind::kListView: {
      auto* list = static_cast<ReportList*>(widget);
      list->on_click = [this, id] { events_.OnListClick(id); };
      list->on_double_click = [this, id](int row) { events_.OnListDoubleClick(id, row); };
      break;
    }
    case ControlKind::kDropDownList:
      QObject::connect(static_cast<QComboBox*>(widget), &QComboBox::currentIndexChanged, widget,
                       [this, id](int index) { events_.OnSelectionChange(id, index); });
      break;
    case ControlKind::kIpAddress:
    case ControlKind::kStaticText:
    case ControlKind::kIcon:
      break;
  }
}

QtWindow::Control* QtWindow::Find(int id) {
  if (!surface_ || id == -1) return nullptr;
  for (Control& control : controls_) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

const QtWindow::Control* QtWindow::Find(int id) const {
  return const_cast<QtWindow*>(this)->Find(id);
}

QWidget* QtWindow::ControlWidget(int id) const {
  const Control* control = Find(id);
  return control ? control->widget : nullptr;
}

int QtWindow::ControlIdOf(const QWidget* widget) const {
  if (!surface_) return -1;
  for (; widget && widget != surface_; widget = widget->parentWidget()) {
    for (const Control& control : controls_) {
      if (control.widget == widget) return control.id;
    }
  }
  return -1;
}

// --- Modal run ---

int QtWindow::RunModal() {
  if (destroyed_ || !surface_) return result_;
  events_.OnInitDialog();
  if (!ended_ && surface_) {
    if (!surface_->focusWidget()) GiveInitialFocus();
    surface_->setWindowModality(Qt::ApplicationModal);
    surface_->show();
    surface_->raise();
    surface_->activateWindow();
    QEventLoop loop;
    loop_ = &loop;
    loop.exec(QEventLoop::DialogExec);
    loop_ = nullptr;
  }
  events_.OnDestroy();
  Destroy();
  return result_;
}

void QtWindow::EndDialog(int result) {
  result_ = result;
  ended_ = true;
  if (loop_) loop_->exit(0);
}

void QtWindow::GiveInitialFocus() {
  for (const Control& control : controls_) {
    if (CanTakeTabFocus(control.widget, surface_)) {
      MoveFocusFromCode(control.widget);
      return;
    }
  }
}

void QtWindow::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  queue_->Close();
  QObject::disconnect(focus_connection_);
  if (surface_) {
    for (auto& [id, timer] : timers_) timer->stop();
  }
  timers_.clear();  // the timers are children of the surface and go with it
  controls_.clear();
  delete surface_.data();  // a null QPointer when a parent window already took it down
}

// --- Events from the surface and the controls ---

void QtWindow::OnEnter() {
  int id = kIdOk;
  for (const Control& control : controls_) {
    if (control.kind == ControlKind::kDefPushButton) {
      id = control.id;
      break;
    }
  }
  // A default button that the operator cannot press is not pressed by Enter either.
  if (const Control* target = Find(id)) {
    if (!target->widget->isEnabled() || target->widget->isHidden()) return;
  }
  events_.OnCommand(id);
}

void QtWindow::OnRadioClicked(int id) {
  const Control* clicked = Find(id);
  if (!clicked) return;
  for (Control& other : controls_) {
    if (other.kind != ControlKind::kRadioButton || other.widget == clicked->widget ||
        other.radio_group != clicked->radio_group) {
      continue;
    }
    auto* button = static_cast<QAbstractButton*>(other.widget);
    QSignalBlocker block(button);
    button->setChecked(false);
  }
  events_.OnCommand(id);
}

void QtWindow::OnFocusChanged(QWidget* old_widget, QWidget* new_widget) {
  const int gained = ControlIdOf(new_widget);
  if (gained == -1 || setting_focus_) return;
  const int previous = ControlIdOf(old_widget);
  if (previous == gained) return;  // moving between the parts of one address field
  events_.OnFocusGained(gained, previous);
}

// --- Controls ---

void QtWindow::ShowControl(int id, bool show) {
  Control* control = Find(id);
  if (!control) return;
  control->widget->setVisible(show);
  if (show && control->display_stale) RefreshMultiLineBox(*control);
}

void QtWindow::RefreshMultiLineBox(Control& control) {
  auto* box = qobject_cast<QPlainTextEdit*>(control.widget);
  if (!box) return;
  control.display_stale = false;
  {
    QSignalBlocker block(box);
    box->setPlainText(DisplayedLines(control.crlf_text));
  }
  ScrollToEnd(control.id);
}

bool QtWindow::IsControlVisible(int id) const {
  const Control* control = Find(id);
  return control && !control->widget->isHidden();
}

void QtWindow::EnableControl(int id, bool enable) {
  if (Control* control = Find(id)) control->widget->setEnabled(enable);
}

bool QtWindow::IsControlEnabled(int id) const {
  const Control* control = Find(id);
  return control && control->widget->isEnabled();
}

void QtWindow::SetText(int id, const std::string& utf8) {
  Control* control = Find(id);
  if (!control) return;
  QWidget* widget = control->widget;
  QSignalBlocker block(widget);
  if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
    control->crlf_text = utf8;
    // Only a box hidden on purpose: before the window is first shown every child counts as
    // hidden, and those are shown with the window, not through ShowControl.
    control->display_stale =
        box->isHidden() && box->testAttribute(Qt::WA_WState_ExplicitShowHide);
    if (!control->display_stale) box->setPlainText(DisplayedLines(utf8));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(QString::fromStdString(utf8));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(QString::fromStdString(utf8));
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    if (control->kind == ControlKind::kStaticText) label->setText(DisplayedLines(utf8));
  }
}

std::string QtWindow::GetText(int id) const {
  const Control* control = Find(id);
  if (!control) return {};
  QWidget* widget = control->widget;
  if (qobject_cast<QPlainTextEdit*>(widget)) return control->crlf_text;
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->text().toStdString();
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text().toStdString();
  if (auto* combo = qobject_cast<QComboBox*>(widget)) return combo->currentText().toStdString();
  if (auto* field = qobject_cast<IpAddressField*>(widget)) {
    const IpAddressParts parts = field->Address();
    return QStringLiteral("%1.%2.%3.%4")
        .arg(parts.part[0])
        .arg(parts.part[1])
        .arg(parts.part[2])
        .arg(parts.part[3])
        .toStdString();
  }
  if (auto* label = qobject_cast<QLabel*>(widget)) return CrLfTextOf(label->text());
  return {};
}

void QtWindow::SetTextLimit(int id, int max_chars) {
  Control* control = Find(id);
  if (!control) return;
  if (auto* edit = qobject_cast<QLineEdit*>(control->widget)) {
    QSignalBlocker block(edit);
    edit->setMaxLength(max_chars > 0 ? max_chars : kDefaultTextLimit);
  }
}

void QtWindow::SetCheck(int id, bool checked) {
  Control* control = Find(id);
  if (!control) return;
  if (auto* button = qobject_cast<QAbstractButton*>(control->widget)) {
    if (!button->isCheckable()) return;
    QSignalBlocker block(button);
    button->setChecked(checked);
  }
}

bool QtWindow::GetCheck(int id) const {
  const Control* control = Find(id);
  if (!control) return false;
  const auto* button = qobject_cast<const QAbstractButton*>(control->widget);
  return button && button->isChecked();
}

void QtWindow::SetFocus(int id) {
  if (Control* control = Find(id)) MoveFocusFromCode(control->widget);
}

void QtWindow::MoveFocusFromCode(QWidget* widget) {
  // A focus change made by code is not the operator's: no OnFocusGained for it.
  const bool was_setting = setting_focus_;
  setting_focus_ = true;
  widget->setFocus(Qt::OtherFocusReason);
  setting_focus_ = was_setting;
}

int QtWindow::FocusedControl() const {
  return surface_ ? ControlIdOf(surface_->focusWidget()) : -1;
}

int QtWindow::LineCount(int id) const {
  const Control* control = Find(id);
  if (!control || control->kind != ControlKind::kEdit) return 0;
  if (!qobject_cast<QPlainTextEdit*>(control->widget)) return 1;
  return CrLfLineCount(control->crlf_text);
}

void QtWindow::ScrollToEnd(int id) {
  Control* control = Find(id);
  if (!control) return;
  if (auto* box = qobject_cast<QPlainTextEdit*>(control->widget)) {
    if (control->display_stale) return;  // scrolled when it is shown
    QSignalBlocker block(box);
    box->moveCursor(QTextCursor::End);
    box->ensureCursorVisible();
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
  }
}

// --- List view ---

void QtWindow::InsertColumn(int list_id, int column, const std::string& header, int width_px) {
  Control* control = Find(list_id);
  if (!control) return;
  if (auto* list = qobject_cast<ReportList*>(control->widget)) {
    list->InsertColumn(column, QString::fromStdString(header), width_px);
  }
}

void QtWindow::SetListFullRowSelect(int list_id, bool full_row_select, bool grid_lines) {
  Control* control = Find(list_id);
  if (!control) return;
  if (auto* list = qobject_cast<ReportList*>(control->widget)) {
    list->SetFullRowSelect(full_row_select, grid_lines);
  }
}

int QtWindow::RowCount(int list_id) const {
  const Control* control = Find(list_id);
  const auto* list = control ? qobject_cast<const ReportList*>(control->widget) : nullptr;
  return list ? list->rowCount() : 0;
}

int QtWindow::AppendRow(int list_id, const std::vector<std::string>& cells) {
  Control* control = Find(list_id);
  auto* list = control ? qobject_cast<ReportList*>(control->widget) : nullptr;
  return list ? list->AppendRow(cells) : -1;
}

std::string QtWindow::CellText(int list_id, int row, int column) const {
  const Control* control = Find(list_id);
  const auto* list = control ? qobject_cast<const ReportList*>(control->widget) : nullptr;
  return list ? list->CellText(row, column) : std::string();
}

void QtWindow::DeleteAllRows(int list_id) {
  Control* control = Find(list_id);
  if (!control) return;
  if (auto* list = qobject_cast<ReportList*>(control->widget)) list->DeleteAllRows();
}

// --- Address field ---

void QtWindow::SetIpAddress(int id, uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  Control* control = Find(id);
  if (!control) return;
  if (auto* field = qobject_cast<IpAddressField*>(control->widget)) field->SetAddress(a, b, c, d);
}

void QtWindow::ClearIpAddress(int id) {
  Control* control = Find(id);
  if (!control) return;
  if (auto* field = qobject_cast<IpAddressField*>(control->widget)) field->Clear();
}

IpAddressParts QtWindow::GetIpAddress(int id) const {
  const Control* control = Find(id);
  const auto* field = control ? qobject_cast<const IpAddressField*>(control->widget) : nullptr;
  return field ? field->Address() : IpAddressParts{};
}

// --- Drop-down list ---

void QtWindow::AddItem(int id, const std::string& item) {
  Control* control = Find(id);
  auto* combo = control ? qobject_cast<QComboBox*>(control->widget) : nullptr;
  if (!combo) return;
  QSignalBlocker block(combo);
  // QComboBox selects the first item added to an empty list; a Windows list selects nothing.
  const int selected = combo->currentIndex();
  combo->addItem(QString::fromStdString(item));
  combo->setCurrentIndex(selected);
}

void QtWindow::SelectItem(int id, int index) {
  Control* control = Find(id);
  auto* combo = control ? qobject_cast<QComboBox*>(control->widget) : nullptr;
  if (!combo) return;
  QSignalBlocker block(combo);
  combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int QtWindow::SelectedItem(int id) const {
  const Control* control = Find(id);
  const auto* combo = control ? qobject_cast<const QComboBox*>(control->widget) : nullptr;
  return combo ? combo->currentIndex() : -1;
}

// --- Window ---

void QtWindow::SetIcon(const IconImage& icon) {
  if (surface_) surface_->setWindowIcon(IconOf(icon));
}

void QtWindow::AppendSystemMenuItem(int command, const std::string& text) {
  if (surface_) surface_->AppendMenuItem(command, QString::fromStdString(text));
}

void QtWindow::SetTimer(int timer_id, int period_ms) {
  if (!surface_) return;
  QTimer*& timer = timers_[timer_id];
  if (!timer) {
    timer = new QTimer(surface_.data());
    QObject::connect(timer, &QTimer::timeout, surface_.data(),
                     [this, timer_id] { events_.OnTimer(timer_id); });
  }
  timer->start(std::max(period_ms, kMinTimerPeriodMs));  // restarts a running timer
}

void QtWindow::KillTimer(int timer_id) {
  if (!surface_) return;
  const auto found = timers_.find(timer_id);
  if (found != timers_.end()) found->second->stop();
}

void QtWindow::MessageBox(const std::string& utf8) { ShowWarningBox(surface_, utf8); }

void QtWindow::ShowTextWindow(const std::string& title, const std::string& utf8) {
  ShowTextDialog(surface_, title, utf8);
}

std::shared_ptr<NotificationTarget> QtWindow::notification_target() { return queue_; }

}  // namespace ardvix::platform::qt
