#include "platform/qt/ip_address_field.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpressionValidator>

namespace ardvix::platform::qt {

namespace {

constexpr int kMaxPartValue = 255;
constexpr int kMaxPartDigits = 3;

}  // namespace

IpAddressField::IpAddressField(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setFocusPolicy(Qt::NoFocus);  // the parts take the focus; setFocus goes to the first

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(2, 1, 2, 1);
  layout->setSpacing(0);
  auto* digits =
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this);
  for (int i = 0; i < kParts; ++i) {
    if (i > 0) {
      auto* dot = new QLabel(QStringLiteral("."), this);
      dot->setAlignment(Qt::AlignCenter);
      layout->addWidget(dot);
    }
    auto* part = new QLineEdit(this);
    part->setFrame(false);
    part->setAlignment(Qt::AlignCenter);
    part->setValidator(digits);
    part->setMaxLength(kMaxPartDigits);
    // Tab leaves the whole field, as it does from the Windows address control; the parts
    // are reached by clicking, typing and the arrow keys.
    if (i > 0) part->setFocusPolicy(Qt::ClickFocus);
    part->installEventFilter(this);
    connect(part, &QLineEdit::textEdited, this, [this, i] { OnPartEdited(i); });
    layout->addWidget(part, 1);
    parts_[static_cast<size_t>(i)] = part;
  }
  setFocusProxy(parts_[0]);
}

void IpAddressField::SetAddress(uint8_t a, uint8_t b, uint8_t c, uint8_t d) {
  const uint8_t values[kParts] = {a, b, c, d};
  for (int i = 0; i < kParts; ++i) {
    QSignalBlocker block(parts_[static_cast<size_t>(i)]);
    parts_[static_cast<size_t>(i)]->setText(QString::number(values[i]));
  }
}

void IpAddressField::Clear() {
  for (QLineEdit* part : parts_) {
    QSignalBlocker block(part);
    part->clear();
  }
}

IpAddressParts IpAddressField::Address() const {
  IpAddressParts address;
  for (int i = 0; i < kParts; ++i) {
    const QString text = parts_[static_cast<size_t>(i)]->text();
    if (text.isEmpty()) continue;
    address.part[i] = static_cast<uint8_t>(std::min(text.toInt(), kMaxPartValue));
    ++address.filled;
  }
  return address;
}

void IpAddressField::SetAccessibleNames(const QString& name) {
  setAccessibleName(name);
  for (int i = 0; i < kParts; ++i) {
    parts_[static_cast<size_t>(i)]->setAccessibleName(QStringLiteral("%1 %2").arg(name).arg(i + 1));
  }
}

void IpAddressField::OnPartEdited(int index) {
  QLineEdit* part = parts_[static_cast<size_t>(index)];
  const QString text = part->text();
  // A value over 255 becomes 255, as the Windows control corrects it.
  if (!text.isEmpty() && text.toInt() > kMaxPartValue) {
    part->setText(QString::number(kMaxPartValue));
  }
  if (text.size() >= kMaxPartDigits && part->cursorPosition() >= kMaxPartDigits &&
      index + 1 < kParts) {
    MoveToPart(index + 1, true);
  }
}

void IpAddressField::MoveToPart(int index, bool select_all) {
  QLineEdit* part = parts_[static_cast<size_t>(index)];
  part->setFocus(Qt::OtherFocusReason);
  if (select_all) part->selectAll();
}

int IpAddressField::IndexOf(QObject* object) const {
  for (int i = 0; i < kParts; ++i) {
    if (parts_[static_cast<size_t>(i)] == object) return i;
  }
  return -1;
}

bool IpAddressField::eventFilter(QObject* watched, QEvent* event) {
  const int index = IndexOf(watched);
  if (index < 0 || event->type() != QEvent::KeyPress) return QFrame::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  QLineEdit* part = parts_[static_cast<size_t>(index)];
  const bool at_start = part->cursorPosition() == 0 && !part->hasSelectedText();
  const bool at_end = part->cursorPosition() == part->text().size() && !part->hasSelectedText();
  switch (key->key()) {
    case Qt::Key_Period:
    case Qt::Key_Space:
      if (index + 1 < kParts && !part->text().isEmpty()) MoveToPart(index + 1, true);
      return true;
    case Qt::Key_Backspace:
      if (at_start && index > 0) {
        MoveToPart(index - 1, false);
        parts_[static_cast<size_t>(index - 1)]->end(false);
        return true;
      }
      break;
    case Qt::Key_Left:
      if (at_start && index > 0) {
        MoveToPart(index - 1, false);
        parts_[static_cast<size_t>(index - 1)]->end(false);
        return true;
      }
      break;
    case Qt::Key_Right:
      if (at_end && index + 1 < kParts) {
        MoveToPart(index + 1, false);
        parts_[static_cast<size_t>(index + 1)]->home(false);
        return true;
      }
      break;
    default:
      break;
  }
  return QFrame::eventFilter(watched, event);
}

}  // namespace ardvix::platform::qt
