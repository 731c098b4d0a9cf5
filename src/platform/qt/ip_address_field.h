// An IPv4 address field: four small boxes of 0..255 with dots between them, each of which
// may be left blank. Typing a dot or a third digit moves on to the next part; Backspace in
// an empty part and the arrow keys at a part's edge move between parts.
#pragma once

#include <QFrame>
#include <QLineEdit>
#include <array>
#include <cstdint>

#include "platform/window.h"

namespace ardvix::platform::qt {

class IpAddressField : public QFrame {
  Q_OBJECT

 public:
  static constexpr int kParts = 4;

  explicit IpAddressField(QWidget* parent);

  void SetAddress(uint8_t a, uint8_t b, uint8_t c, uint8_t d);
  void Clear();
  IpAddressParts Address() const;
  QLineEdit* Part(int index) const { return parts_[static_cast<size_t>(index)]; }
  // Names the field and its parts for assistive tools ("<name> 1" .. "<name> 4").
  void SetAccessibleNames(const QString& name);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnPartEdited(int index);
  void MoveToPart(int index, bool select_all);
  int IndexOf(QObject* object) const;

  std::array<QLineEdit*, kParts> parts_{};
};

}  // namespace ardvix::platform::qt
