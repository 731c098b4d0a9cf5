// Windows built from a template: each kind of control with its initial state, the names
// assistive tools read, the frame, and a font that can show the Korean texts.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "gui_test_support.h"
#include "platform/qt/dialog_font.h"
#include "platform/qt/ip_address_field.h"
#include "platform/qt/report_list.h"

namespace ardvix::platform::qt::testing {
namespace {

struct ExpectedControl {
  int id;
  const char* widget_class;
  bool visible;
  bool enabled;
  const char* accessible_name;
};

TEST(WindowBuild, EachControlHasItsKindStateAndName) {
  ShownWindow w;
  ASSERT_TRUE(w.shown);
  const ExpectedControl expected[] = {
      {id::kExit, "QPushButton", true, true, "Exit"},
      {id::kFind, "QPushButton", true, true, "IP Find"},
      {id::kHiddenButton, "QPushButton", false, true, "Brodcast Off"},
      {id::kChange, "QPushButton", true, false, "IP Change"},
      {id::kList, "ardvix::platform::qt::ReportList", true, true, "ctl_1005"},
      {id::kLog, "QPlainTextEdit", false, true, "ctl_1001"},
      {id::kAddress, "ardvix::platform::qt::IpAddressField", true, true, "IP Address"},
      {id::kPassword, "QLineEdit", true, true, "Password"},
      {id::kMac, "QLineEdit", true, true, "Mac Address"},
      {id::kStatic, "QRadioButton", true, true, "Static IP Address"},
      {id::kQuality, "QComboBox", true, true, "ctl_1048"},
  };
  for (const auto& e : expected) {
    SCOPED_TRACE(e.id);
    QWidget* widget = w.window->ControlWidget(e.id);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(widget->inherits(e.widget_class)) << widget->metaObject()->className();
    EXPECT_EQ(widget->objectName(), QStringLiteral("ctl_%1").arg(e.id));
    EXPECT_EQ(widget->isVisible(), e.visible);
    EXPECT_EQ(w.window->IsControlVisible(e.id), e.visible);
    EXPECT_EQ(w.window->IsControlEnabled(e.id), e.enabled);
    EXPECT_EQ(widget->accessibleName().toStdString(), e.accessible_name);
  }
}

TEST(WindowBuild, EditStylesShapeTheBoxes) {
  ShownWindow w;
  EXPECT_EQ(w.Control<QLineEdit>(id::kPassword)->echoMode(), QLineEdit::Password);
  EXPECT_TRUE(w.Control<QLineEdit>(id::kMac)->alignment() & Qt::AlignHCenter);
  auto* log = w.Control<QPlainTextEdit>(id::kLog);
  ASSERT_NE(log, nullptr);
  EXPECT_TRUE(log->isReadOnly());
  EXPECT_EQ(log->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(log->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST(WindowBuild, IconControlShowsTheImageAtItsOwnSize) {
  ShownWindow w;
  const QLabel* icon = nullptr;
  for (auto* label : w.window->widget()->findChildren<QLabel*>()) {
    if (!label->pixmap().isNull()) icon = label;
  }
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->size(), QSize(32, 32));
  EXPECT_EQ(icon->pixmap().toImage().pixel(5, 5), 0xff2060a0u);
}

TEST(WindowBuild, FrameIsFixedWithCaptionAndMinimiseButNoMaximise) {
  ShownWindow w;
  QWidget* frame = w.window->widget();
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("Sample"));
  EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
  EXPECT_TRUE(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
  // Every control lies inside the client area, so the layout was scaled as a whole.
  for (int id : {id::kExit, id::kList, id::kAddress, id::kQuality}) {
    EXPECT_TRUE(frame->rect().contains(w.window->ControlWidget(id)->geometry())) << id;
  }
}

TEST(DialogFont, KoreanFamilyThatIsMissingFallsBackToOneThatShowsHangul) {
  if (QFontDatabase::hasFamily(QStringLiteral("굴림"))) GTEST_SKIP() << "굴림 is installed";
  const QFont font = ChooseDialogFont("굴림", 9);
  EXPECT_EQ(font.family(), QString::fromLatin1(kKoreanFallbackFamily));
  EXPECT_EQ(font.pointSize(), 9);
  EXPECT_TRUE(QFontMetrics(font).inFont(QChar(u'다')));
}

TEST(DialogFont, BaseUnitsGrowWithTheFont) {
  const DialogBaseUnits small = BaseUnitsOf(ChooseDialogFont("굴림", 9));
  const DialogBaseUnits large = BaseUnitsOf(ChooseDialogFont("굴림", 18));
  EXPECT_GT(small.avg_char_width, 0);
  EXPECT_GT(small.char_height, small.avg_char_width);
  EXPECT_GT(large.avg_char_width, small.avg_char_width);
  EXPECT_GT(large.char_height, small.char_height);
}

}  // namespace
}  // namespace ardvix::platform::qt::testing
