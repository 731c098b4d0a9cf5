// Builds the widget of one template control: its kind, styles, place and size. Wiring the
// widget's signals to the window's events is the window's business.
#pragma once

#include <QWidget>

#include "platform/dialog_template.h"

namespace ardvix::platform::qt {

// The widget is a child of parent, placed through the dialog base units. Kinds map to:
// push buttons QPushButton, radio buttons AutoRadioButton, edits QLineEdit (multi-line:
// QPlainTextEdit), list views ReportList, address fields IpAddressField, static texts and
// icons QLabel, drop-down lists QComboBox.
QWidget* CreateControlWidget(const ControlTemplate& control, const DialogBaseUnits& base,
                             QWidget* parent);

bool IsMultiLineEdit(const ControlTemplate& control);

}  // namespace ardvix::platform::qt
