#include "platform/qt/dialog_surface.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace ardvix::platform::qt {

DialogSurface::DialogSurface(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), window_menu_(this) {}

void DialogSurface::AppendMenuItem(int command, const QString& text) {
  window_menu_.addSeparator();
  window_menu_.addAction(text)->setData(command);
}

void DialogSurface::reject() {
  if (on_cancel) on_cancel();
}

void DialogSurface::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) {
    QDialog::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Enter:
    case Qt::Key_Return:
      // A focused push button takes Enter itself (auto-default), as a focused button does
      // on Windows; everywhere else Enter is the dialog's default command.
      event->accept();
      if (on_enter) on_enter();
      return;
    case Qt::Key_Escape:
      event->accept();
      if (on_cancel) on_cancel();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void DialogSurface::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (on_cancel) on_cancel();
}

void DialogSurface::contextMenuEvent(QContextMenuEvent* event) {
  if (window_menu_.isEmpty()) {
    QDialog::contextMenuEvent(event);
    return;
  }
  event->accept();
  // The command runs after the menu has closed, so that it may open a modal box of its own.
  const QAction* chosen = window_menu_.exec(event->globalPos());
  if (chosen && on_menu_command) on_menu_command(chosen->data().toInt());
}

}  // namespace ardvix::platform::qt
