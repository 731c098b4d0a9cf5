// A dialog window of the Qt backend, built from a DialogTemplate.
//
// Setting a control from code blocks the widget's signals, so that only what the operator
// does reaches WindowEvents. RunModal runs its own QEventLoop, so a window never depends on
// QApplication::exec and a window opened from a handler runs nested inside the caller's.
#pragma once

#include <QEventLoop>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/notification_queue.h"
#include "platform/qt/dialog_surface.h"
#include "platform/window.h"

namespace ardvix::platform::qt {

class QtWindow : public Window {
 public:
  // parent may be null. The template is copied; its icons must outlive the window.
  QtWindow(const DialogTemplate& tmpl, WindowEvents& events, QWidget* parent);
  ~QtWindow() override;
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  int RunModal() override;
  void EndDialog(int result) override;

  void ShowControl(int id, bool show) override;
  bool IsControlVisible(int id) const override;
  void EnableControl(int id, bool enable) override;
  bool IsControlEnabled(int id) const override;
  void SetText(int id, const std::string& utf8) override;
  std::string GetText(int id) const override;
  void SetTextLimit(int id, int max_chars) override;
  void SetCheck(int id, bool checked) override;
  bool GetCheck(int id) const override;
  void SetFocus(int id) override;
  int FocusedControl() const override;

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
  IpAddressParts GetIpAddress(int id) const override;

  void AddItem(int id, const std::string& item) override;
  void SelectItem(int id, int index) override;
  int SelectedItem(int id) const override;

  void SetIcon(const IconImage& icon) override;
  void AppendSystemMenuItem(int command, const std::string& text) override;

  void SetTimer(int timer_id, int period_ms) override;
  void KillTimer(int timer_id) override;

  void MessageBox(const std::string& utf8) override;
  void ShowTextWindow(const std::string& title, const std::string& utf8) override;

  std::shared_ptr<NotificationTarget> notification_target() override;

  // The top-level widget; null once the window has been destroyed. For child windows and
  // for tests that drive the window with real input.
  QWidget* widget() const { return surface_; }
  // The widget of a control, or null.
  QWidget* ControlWidget(int id) const;

 private:
  struct Control {
    int id = -1;
    ControlKind kind = ControlKind::kStaticText;
    uint32_t style = kStyleNone;
    int radio_group = 0;        // controls between two kGroup marks share a number
    QWidget* widget = nullptr;  // owned by the surface
    std::string crlf_text;      // a multi-line box's text exactly as set (lines end in CR LF)
    // A hidden multi-line box is drawn from crlf_text only when it is shown: a log that is
    // never shown then costs no text layout per line.
    bool display_stale = false;
  };

  void RefreshMultiLineBox(Control& control);

  void BuildControls(const DialogBaseUnits& base);
  void ConnectControl(Control& control);
  QString AccessibleNameOf(size_t index) const;
  Control* Find(int id);
  const Control* Find(int id) const;
  int ControlIdOf(const QWidget* widget) const;
  void OnRadioClicked(int id);
  void OnEnter();
  void OnFocusChanged(QWidget* old_widget, QWidget* new_widget);
  void GiveInitialFocus();
  void MoveFocusFromCode(QWidget* widget);
  void Destroy();

  DialogTemplate template_;
  WindowEvents& events_;
  QPointer<DialogSurface> surface_;
  std::vector<Control> controls_;
  std::map<int, QTimer*> timers_;
  std::shared_ptr<NotificationQueue> queue_;
  QMetaObject::Connection focus_connection_;
  QEventLoop* loop_ = nullptr;  // the running modal loop, if any
  bool ended_ = false;
  bool setting_focus_ = false;
  bool destroyed_ = false;
  int result_ = 0;
};

}  // namespace ardvix::platform::qt
