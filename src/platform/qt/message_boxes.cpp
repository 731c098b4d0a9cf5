#include "platform/qt/message_boxes.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "platform/qt/crlf_text.h"

namespace ardvix::platform::qt {

void ShowWarningBox(QWidget* parent, const std::string& utf8) {
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kMessageBoxCaption),
                  DisplayedLines(utf8), QMessageBox::Ok, parent);
  // Plain text always: messages may carry texts that came from the network.
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
}

void ShowTextDialog(QWidget* parent, const std::string& title, const std::string& utf8) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QString::fromStdString(title));
  dialog.setWindowModality(Qt::ApplicationModal);
  auto* layout = new QVBoxLayout(&dialog);
  auto* text = new QPlainTextEdit(&dialog);
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  text->setPlainText(DisplayedLines(utf8));
  text->setObjectName(QStringLiteral("text"));
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  layout->addWidget(buttons);
  dialog.resize(640, 400);
  dialog.exec();
}

}  // namespace ardvix::platform::qt
