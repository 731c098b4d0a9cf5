// The top-level widget of a dialog window. It turns the keyboard and window-frame
// conventions of a Windows dialog into commands for its owner: Enter gives the default
// command, Escape and the close box give Cancel, and a right click on the background
// opens the window's own menu. It never closes or hides itself; its owner decides.
#pragma once

#include <QDialog>
#include <QMenu>
#include <functional>

namespace ardvix::platform::qt {

class DialogSurface : public QDialog {
  Q_OBJECT

 public:
  DialogSurface(QWidget* parent, Qt::WindowFlags flags);

  std::function<void()> on_enter;   // Enter pressed where no push button has the focus
  std::function<void()> on_cancel;  // Escape or the close box
  std::function<void(int command)> on_menu_command;  // an item of the window's own menu

  // Appends a separator and an item to the window's own menu, which a right click on the
  // background opens (window managers let no program add to their window menu).
  void AppendMenuItem(int command, const QString& text);

  // QDialog would hide the window on these; the owner ends the run instead.
  void done(int) override {}
  void accept() override {}
  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QMenu window_menu_;
};

}  // namespace ardvix::platform::qt
