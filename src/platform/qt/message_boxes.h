// The modal boxes a window opens: the warning box with one OK button, and the window that
// shows a long text such as a command's output.
#pragma once

#include <QWidget>
#include <string>

namespace ardvix::platform::qt {

// The caption of every message box: the program file's name without extension.
inline constexpr const char* kMessageBoxCaption = "ardvix";

// Both run a nested event loop until the operator closes the box. parent may be null.
void ShowWarningBox(QWidget* parent, const std::string& utf8);
void ShowTextDialog(QWidget* parent, const std::string& title, const std::string& utf8);

}  // namespace ardvix::platform::qt
