#include "platform/qt/control_factory.h"

#include <algorithm>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QValidator>

#include "platform/qt/auto_radio_button.h"
#include "platform/qt/crlf_text.h"
#include "platform/qt/icon_pixmap.h"
#include "platform/qt/ip_address_field.h"
#include "platform/qt/report_list.h"

namespace ardvix::platform::qt {

namespace {

// Letters typed (or pasted) into the box become capitals.
class UpperCaseValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& /*pos*/) const override {
    input = input.toUpper();
    return Acceptable;
  }
};

bool Has(const ControlTemplate& control, uint32_t style) { return (control.style & style) != 0; }

QWidget* CreateEdit(const ControlTemplate& control, QWidget* parent) {
  if (IsMultiLineEdit(control)) {
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(Has(control, kReadOnly));
    box->setLineWrapMode(Has(control, kNoWordWrap) || Has(control, kAutoHScroll)
                             ? QPlainTextEdit::NoWrap
                             : QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(Has(control, kVScroll) ? Qt::ScrollBarAlwaysOn
                                                           : Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setPlainText(DisplayedLines(control.text));
    return box;
  }
  auto* edit = new QLineEdit(parent);
  edit->setText(QString::fromStdString(control.text));
  edit->setReadOnly(Has(control, kReadOnly));
  if (Has(control, kPassword)) edit->setEchoMode(QLineEdit::Password);
  if (Has(control, kUpperCase)) edit->setValidator(new UpperCaseValidator(edit));
  edit->setAlignment((Has(control, kCenter) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
  return edit;
}

QWidget* CreateStaticText(const ControlTemplate& control, QWidget* parent) {
  auto* label = new QLabel(parent);
  // Plain text always: a label may show texts that came from the network.
  label->setTextFormat(Qt::PlainText);
  label->setText(DisplayedLines(control.text));
  label->setWordWrap(Has(control, kWordWrap));
  label->setAlignment((Has(control, kCenter) ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  return label;
}

QWidget* CreateIcon(const ControlTemplate& control, QWidget* parent) {
  auto* label = new QLabel(parent);
  if (control.icon) label->setPixmap(PixmapOf(*control.icon));
  return label;
}

QWidget* CreateWidgetOfKind(const ControlTemplate& control, QWidget* parent) {
  const QString text = QString::fromStdString(control.text);
  switch (control.kind) {
    case ControlKind::kPushButton:
    case ControlKind::kDefPushButton: {
      auto* button = new QPushButton(text, parent);
      button->setDefault(control.kind == ControlKind::kDefPushButton);
      return button;
    }
    case ControlKind::kRadioButton:
      return new AutoRadioButton(text, parent);
    case ControlKind::kEdit:
      return CreateEdit(control, parent);
    case ControlKind::kListView:
      return new ReportList(parent);
    case ControlKind::kIpAddress:
      return new IpAddressField(parent);
    case ControlKind::kStaticText:
      return CreateStaticText(control, parent);
    case ControlKind::kIcon:
      return CreateIcon(control, parent);
    case ControlKind::kDropDownList: {
      auto* combo = new QComboBox(parent);
      combo->setEditable(false);
      return combo;
    }
  }
  return new QWidget(parent);
}

}  // namespace

bool IsMultiLineEdit(const ControlTemplate& control) {
  return control.kind == ControlKind::kEdit && Has(control, kMultiLine);
}

QWidget* CreateControlWidget(const ControlTemplate& control, const DialogBaseUnits& base,
                             QWidget* parent) {
  QWidget* widget = CreateWidgetOfKind(control, parent);
  const PixelRect rect = DialogUnitsToPixels(base, control.x, control.y, control.cx, control.cy);
  int height = rect.height;
  int width = rect.width;
  if (control.kind == ControlKind::kDropDownList) {
    // The template's height includes the open list; the closed box is one line high.
    height = std::min(height, widget->sizeHint().height());
  }
  if (control.kind == ControlKind::kIcon && control.icon && control.icon->width > 0) {
    // An icon control takes the size of its icon, whatever the template says.
    width = control.icon->width;
    height = control.icon->height;
  }
  widget->setGeometry(rect.x, rect.y, width, height);
  if (Has(control, kHidden)) widget->hide();
  if (Has(control, kDisabled)) widget->setEnabled(false);
  if (control.id != -1) widget->setObjectName(QStringLiteral("ctl_%1").arg(control.id));
  return widget;
}

}  // namespace ardvix::platform::qt
