// The operator's input reaches the window's owner; what code sets does not.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "gui_test_support.h"
#include "platform/qt/ip_address_field.h"
#include "platform/qt/report_list.h"

namespace ardvix::platform::qt::testing {
namespace {

using Log = std::vector<std::string>;

void TypeIntoFocus(const QString& text) {
  for (const QChar c : text) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, c.toLatin1());
  }
}

void FillList(QtWindow& window) {
  window.InsertColumn(id::kList, 0, "IP Address", 90);
  window.InsertColumn(id::kList, 1, "MAC Address", 90);
  window.AppendRow(id::kList, {"10.0.0.2", "00:11:22:33:44:55"});
  window.AppendRow(id::kList, {"10.0.0.3", "00:11:22:33:44:66"});
}

struct CodeAndOperatorCase {
  const char* name;
  std::function<void(ShownWindow&)> by_code;
  std::function<void(ShownWindow&)> by_operator;
  Log operator_events;
};

TEST(WindowInput, SettingFromCodeFiresNothingWhileTheOperatorsActionDoes) {
  const CodeAndOperatorCase cases[] = {
      {"push button",
       [](ShownWindow& w) { w.window->SetText(id::kFind, "Find again"); },
       [](ShownWindow& w) { QTest::mouseClick(w.Control(id::kFind), Qt::LeftButton); },
       {"command 1000"}},
      {"radio button",
       [](ShownWindow& w) { w.window->SetCheck(id::kDynamic, true); },
       [](ShownWindow& w) { QTest::mouseClick(w.Control(id::kStatic), Qt::LeftButton); },
       {"command 1050"}},
      {"drop-down list",
       [](ShownWindow& w) {
         w.window->AddItem(id::kQuality, "300 Kbps(권장)");
         w.window->AddItem(id::kQuality, "200 Kbps");
         w.window->SelectItem(id::kQuality, 0);
       },
       [](ShownWindow& w) { QTest::keyClick(w.Control(id::kQuality), Qt::Key_Down); },
       {"select 1048 1"}},
      {"list",
       [](ShownWindow& w) {
         FillList(*w.window);
         w.window->DeleteAllRows(id::kList);
         FillList(*w.window);
       },
       [](ShownWindow& w) {
         auto* list = w.Control<ReportList>(id::kList);
         QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                           list->visualRect(list->model()->index(0, 0)).center());
       },
       {"click 1005"}},
      {"edits and address field",
       [](ShownWindow& w) {
         w.window->SetText(id::kPassword, "secret");
         w.window->SetIpAddress(id::kAddress, 10, 0, 0, 2);
         w.window->ClearIpAddress(id::kAddress);
         w.window->SetFocus(id::kMac);
       },
       [](ShownWindow&) {},
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ShownWindow w;
    ASSERT_TRUE(w.shown);
    w.events.record_focus = true;
    w.events.log.clear();
    c.by_code(w);
    EXPECT_EQ(w.events.log, Log{});
    w.events.record_focus = false;
    c.by_operator(w);
    EXPECT_EQ(w.events.log, c.operator_events);
  }
}

TEST(WindowInput, RadioClickMovesTheCheckWithinItsGroupBeforeTheCommand) {
  ShownWindow w;
  w.window->SetCheck(id::kStatic, true);
  w.window->SetCheck(id::kOtherGroup, true);
  std::vector<std::pair<bool, bool>> seen;  // (static, dynamic) as each command arrives
  w.events.on_command = [&](int) {
    seen.emplace_back(w.window->GetCheck(id::kStatic), w.window->GetCheck(id::kDynamic));
  };
  QTest::mouseClick(w.Control(id::kDynamic), Qt::LeftButton);
  QTest::mouseClick(w.Control(id::kDynamic), Qt::LeftButton);  // already checked: stays checked
  EXPECT_EQ(w.events.log, (Log{"command 1051", "command 1051"}));
  EXPECT_EQ(seen, (std::vector<std::pair<bool, bool>>{{false, true}, {false, true}}));
  EXPECT_TRUE(w.window->GetCheck(id::kOtherGroup)) << "a radio of another group was unchecked";
}

TEST(WindowInput, PasswordBoxRefusesTheEleventhCharacter) {
  ShownWindow w;
  w.window->SetTextLimit(id::kPassword, 10);
  QTest::keyClicks(w.Control(id::kPassword), "abcdefghijk");
  EXPECT_EQ(w.window->GetText(id::kPassword), "abcdefghij");
}

TEST(WindowInput, UpperCaseBoxTurnsTypedLettersIntoCapitals) {
  ShownWindow w;
  QTest::keyClicks(w.Control(id::kMac), "0a-bc-9f");
  EXPECT_EQ(w.window->GetText(id::kMac), "0A-BC-9F");
}

struct AddressCase {
  const char* typed;  // typed from the first part on; '>' stands for the Right arrow
  std::array<int, 4> parts;
  int filled;
};

TEST(WindowInput, AddressFieldCountsFilledPartsAndTellsBlankFromZero) {
  const AddressCase cases[] = {
      {"192.168.1.20", {192, 168, 1, 20}, 4},
      {"10.0.>5", {10, 0, 0, 5}, 3},  // the third part skipped, left blank
      {"1921", {192, 1, 0, 0}, 2},    // a third digit moves on by itself
      {"300", {255, 0, 0, 0}, 1},     // too large a part becomes 255
      {"", {0, 0, 0, 0}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    ShownWindow w;
    ASSERT_TRUE(w.shown);
    w.Control<IpAddressField>(id::kAddress)->Part(0)->setFocus();
    for (const QChar ch : QString::fromLatin1(c.typed)) {
      if (ch == u'>') {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
      } else {
        TypeIntoFocus(QString(ch));
      }
    }
    const IpAddressParts got = w.window->GetIpAddress(id::kAddress);
    EXPECT_EQ(got.filled, c.filled);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(got.part[i], c.parts[static_cast<size_t>(i)]) << i;
  }
}

TEST(WindowInput, AddressFieldSetClearAndDisableCoverAllParts) {
  ShownWindow w;
  w.window->SetIpAddress(id::kAddress, 0, 0, 0, 0);
  EXPECT_EQ(w.window->GetIpAddress(id::kAddress).filled, 4);
  w.window->ClearIpAddress(id::kAddress);
  EXPECT_EQ(w.window->GetIpAddress(id::kAddress).filled, 0);
  w.window->EnableControl(id::kAddress, false);
  auto* field = w.Control<IpAddressField>(id::kAddress);
  for (int i = 0; i < IpAddressField::kParts; ++i) EXPECT_FALSE(field->Part(i)->isEnabled()) << i;
}

TEST(WindowInput, ListReportsClicksAndDoubleClicksWithTheRowHit) {
  struct Case {
    const char* where;
    bool on_row;
    Log events;
  };
  const Case cases[] = {
      {"second row", true, {"click 1005", "double 1005 row 1"}},
      {"empty area", false, {"click 1005", "double 1005 row -1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    ShownWindow w;
    ASSERT_TRUE(w.shown);
    FillList(*w.window);
    auto* list = w.Control<ReportList>(id::kList);
    const QPoint at = c.on_row ? list->visualRect(list->model()->index(1, 1)).center()
                               : QPoint(10, list->viewport()->height() - 3);
    ASSERT_EQ(list->indexAt(at).isValid(), c.on_row);
    // A real double click: press and release, then the second press as a double click and
    // its release, which is not another click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(w.events.log, c.events);
  }
}

TEST(WindowInput, ListHoldsCellsAsGiven) {
  ShownWindow w;
  w.window->InsertColumn(id::kList, 0, "IP Address", 90);
  w.window->InsertColumn(id::kList, 1, " Gateway", 90);
  EXPECT_EQ(w.window->AppendRow(id::kList, {"10.0.0.2", "10.0.0.1"}), 0);
  EXPECT_EQ(w.window->AppendRow(id::kList, {"관리자"}), 1);  // fewer cells than columns
  EXPECT_EQ(w.window->RowCount(id::kList), 2);
  EXPECT_EQ(w.window->CellText(id::kList, 0, 1), "10.0.0.1");
  EXPECT_EQ(w.window->CellText(id::kList, 1, 0), "관리자");
  EXPECT_EQ(w.window->CellText(id::kList, 1, 1), "");
  EXPECT_EQ(w.window->CellText(id::kList, 5, 0), "");
  auto* list = w.Control<ReportList>(id::kList);
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), QStringLiteral(" Gateway"));
  EXPECT_EQ(list->columnWidth(1), 90);
  w.window->DeleteAllRows(id::kList);
  EXPECT_EQ(w.window->RowCount(id::kList), 0);
}

TEST(WindowInput, DropDownStartsWithNothingSelected) {
  ShownWindow w;
  w.window->AddItem(id::kQuality, "고화질");
  w.window->AddItem(id::kQuality, "고속화면");
  EXPECT_EQ(w.window->SelectedItem(id::kQuality), -1);
  w.window->SelectItem(id::kQuality, 1);
  EXPECT_EQ(w.window->SelectedItem(id::kQuality), 1);
  EXPECT_EQ(w.window->GetText(id::kQuality), "고속화면");
  w.window->SelectItem(id::kQuality, 9);
  EXPECT_EQ(w.window->SelectedItem(id::kQuality), -1);
}

struct KeyCase {
  const char* name;
  int focus_id;
  std::function<void(QWidget*)> press;
  Log events;
};

TEST(WindowInput, EnterEscapeAndTheCloseBoxBecomeCommands) {
  const KeyCase cases[] = {
      {"Enter in an edit presses the default button",
       id::kPassword,
       [](QWidget* at) { QTest::keyClick(at, Qt::Key_Return); },
       {"command 1000"}},
      {"Enter on a focused button presses that button",
       id::kExit,
       [](QWidget* at) { QTest::keyClick(at, Qt::Key_Return); },
       {"command 1"}},
      {"Escape cancels",
       id::kPassword,
       [](QWidget* at) { QTest::keyClick(at, Qt::Key_Escape); },
       {"command 2"}},
      {"the close box cancels",
       id::kPassword,
       [](QWidget* at) { at->window()->close(); },
       {"command 2"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ShownWindow w;
    ASSERT_TRUE(w.shown);
    QWidget* target = w.window->ControlWidget(c.focus_id);
    target->setFocus();
    c.press(target);
    EXPECT_EQ(w.events.log, c.events);
    EXPECT_TRUE(w.window->widget()->isVisible()) << "the owner decides when the window ends";
  }
}

TEST(WindowInput, EnterGivesOkWhenThereIsNoDefaultButtonAndNothingWhenOkIsDisabled) {
  DialogTemplate tmpl = SampleTemplate();
  tmpl.controls[1].kind = ControlKind::kPushButton;  // "IP Find" is no longer the default
  ShownWindow w(tmpl);
  w.window->ControlWidget(id::kPassword)->setFocus();
  QTest::keyClick(w.Control(id::kPassword), Qt::Key_Return);
  w.window->EnableControl(id::kExit, false);
  QTest::keyClick(w.Control(id::kPassword), Qt::Key_Return);
  EXPECT_EQ(w.events.log, Log{"command 1"});
}

TEST(WindowInput, FocusMovesByTheOperatorAreReportedWithThePreviousControl) {
  ShownWindow w;
  ASSERT_TRUE(w.shown);
  QTest::mouseClick(w.Control(id::kPassword), Qt::LeftButton);
  w.events.record_focus = true;
  QTest::mouseClick(w.Control(id::kMac), Qt::LeftButton);
  QTest::mouseClick(w.Control<IpAddressField>(id::kAddress)->Part(2), Qt::LeftButton);
  QTest::mouseClick(w.Control<IpAddressField>(id::kAddress)->Part(3), Qt::LeftButton);
  EXPECT_EQ(w.events.log, (Log{"focus 1033 from 1027", "focus 1017 from 1033"}));
  EXPECT_EQ(w.window->FocusedControl(), id::kAddress);
}

TEST(WindowInput, WindowMenuItemGivesItsSystemCommand) {
  ShownWindow w;
  ASSERT_TRUE(w.shown);
  w.window->AppendSystemMenuItem(16, "Zell 정보(&A)...");
  bool menu_seen = false;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return;
    menu_seen = true;
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QWidget* surface = w.window->widget();
  const QPoint background(surface->width() - 4, 4);
  QContextMenuEvent right_click(QContextMenuEvent::Mouse, background,
                                surface->mapToGlobal(background));
  QApplication::sendEvent(surface, &right_click);
  EXPECT_TRUE(menu_seen);
  EXPECT_EQ(w.events.log, Log{"syscommand 16"});
}

}  // namespace
}  // namespace ardvix::platform::qt::testing
