#include "platform/qt/dialog_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>

namespace ardvix::platform::qt {

namespace {

constexpr int kSystemFontPoints = 9;

}  // namespace

QFont ChooseDialogFont(const std::string& family, int points) {
  const QString name = QString::fromStdString(family);
  if (name.compare(QStringLiteral("System"), Qt::CaseInsensitive) == 0 || name.isEmpty()) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(kSystemFontPoints);
    return font;
  }
  const int size = points > 0 ? points : kSystemFontPoints;
  if (QFontDatabase::hasFamily(name)) return QFont(name, size);
  if (QFontDatabase::hasFamily(QString::fromLatin1(kKoreanFallbackFamily))) {
    return QFont(QString::fromLatin1(kKoreanFallbackFamily), size);
  }
  QFont font(name, size);  // let the font matcher find the nearest it has
  font.setStyleHint(QFont::SansSerif);
  return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters_width = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  DialogBaseUnits units;
  units.avg_char_width = (letters_width / 26 + 1) / 2;
  units.char_height = metrics.height();
  if (units.avg_char_width <= 0) units.avg_char_width = 1;
  if (units.char_height <= 0) units.char_height = 1;
  return units;
}

}  // namespace ardvix::platform::qt
