#include "platform/qt/crlf_text.h"

namespace ardvix::platform::qt {

QString DisplayedLines(const std::string& crlf_text) {
  QString text = QString::fromStdString(crlf_text);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::string CrLfTextOf(const QString& displayed) {
  QString text = displayed;
  text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
  return text.toStdString();
}

int CrLfLineCount(const std::string& crlf_text) {
  int lines = 1;
  for (size_t at = crlf_text.find("\r\n"); at != std::string::npos;
       at = crlf_text.find("\r\n", at + 2)) {
    ++lines;
  }
  return lines;
}

}  // namespace ardvix::platform::qt
