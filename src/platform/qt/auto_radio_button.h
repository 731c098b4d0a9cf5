// A radio button that a click always checks and never unchecks, like a Windows automatic
// radio button. Unchecking the other buttons of its group is left to the window, which
// knows the groups.
#pragma once

#include <QRadioButton>

namespace ardvix::platform::qt {

class AutoRadioButton : public QRadioButton {
 public:
  AutoRadioButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
    setAutoExclusive(false);  // groups follow the template, not the parent widget
  }

 protected:
  void nextCheckState() override { setChecked(true); }
};

}  // namespace ardvix::platform::qt
