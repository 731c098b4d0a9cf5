// Modal runs, nested loops, message boxes, timers and the multi-line box.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

#include "gui_test_support.h"

namespace ardvix::platform::qt::testing {
namespace {

using Log = std::vector<std::string>;

DialogTemplate ChildTemplate() {
  DialogTemplate t;
  t.caption = "Zell Information";
  t.cx = 235;
  t.cy = 55;
  t.font_name = "굴림";
  t.controls = {{kIdOk, ControlKind::kDefPushButton, "확인", 178, 7, 50, 14}};
  return t;
}

TEST(WindowRun, RunModalInitialisesRunsUntilEndDialogThenDestroys) {
  RecordingEvents events;
  QtWindow window(SampleTemplate(), events, nullptr);
  QPointer<QWidget> surface = window.widget();
  events.on_init = [&] { window.SetText(id::kPassword, "set in init"); };
  events.on_command = [&](int id) {
    if (id == id::kFind) window.EndDialog(7);
  };
  std::string text_while_running;
  QTimer::singleShot(0, [&] {
    text_while_running = window.GetText(id::kPassword);
    QTest::mouseClick(window.ControlWidget(id::kFind), Qt::LeftButton);
  });
  EXPECT_EQ(window.RunModal(), 7);
  EXPECT_EQ(text_while_running, "set in init");
  EXPECT_EQ(events.log, (Log{"init", "command 1000", "destroy"}));
  EXPECT_TRUE(surface.isNull()) << "the widgets outlived the run";
  EXPECT_EQ(window.GetText(id::kPassword), "") << "a destroyed window answers with empty values";
}

class ShowSpy : public QObject {
 public:
  bool shown = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) shown = true;
    return false;
  }
};

TEST(WindowRun, EndDialogDuringInitialisationNeverShowsTheWindow) {
  RecordingEvents events;
  QtWindow window(SampleTemplate(), events, nullptr);
  ShowSpy spy;
  window.widget()->installEventFilter(&spy);
  events.on_init = [&] { window.EndDialog(3); };
  EXPECT_EQ(window.RunModal(), 3);
  EXPECT_EQ(events.log, (Log{"init", "destroy"}));
  EXPECT_FALSE(spy.shown);
}

TEST(WindowRun, FirstFocusableControlTakesTheFocusUnlessInitialisationChoseOne) {
  for (const bool choose : {false, true}) {
    SCOPED_TRACE(choose);
    RecordingEvents events;
    QtWindow window(SampleTemplate(), events, nullptr);
    int focused = -2;
    events.on_init = [&] {
      if (choose) window.SetFocus(id::kPassword);
    };
    QTimer::singleShot(0, [&] {
      focused = window.FocusedControl();
      window.EndDialog(0);
    });
    window.RunModal();
    EXPECT_EQ(focused, choose ? id::kPassword : id::kExit);
  }
}

TEST(WindowRun, ParentKeepsHandlingTimersWhileAChildRunsModally) {
  RecordingEvents parent_events;
  QtWindow parent(SampleTemplate(), parent_events, nullptr);
  RecordingEvents child_events;
  std::unique_ptr<QtWindow> child;
  int ticks_during_child = 0;
  parent_events.on_init = [&] {
    parent.SetTimer(4097, 20);
    QTimer::singleShot(0, [&] {
      child = std::make_unique<QtWindow>(ChildTemplate(), child_events, parent.widget());
      child_events.on_init = [&] { parent_events.log.clear(); };
      child_events.on_command = [&](int id) { child->EndDialog(id); };
      QTimer::singleShot(200, [&] { QTest::keyClick(child->widget(), Qt::Key_Escape); });
      EXPECT_EQ(child->RunModal(), kIdCancel);
      ticks_during_child = static_cast<int>(parent_events.log.size());
      parent.EndDialog(0);
    });
  };
  parent.RunModal();
  EXPECT_GE(ticks_during_child, 3);
  EXPECT_EQ(child_events.log, (Log{"init", "command 2", "destroy"}));
}

TEST(WindowRun, TimersTickWithTheirIdsStopAndRestart) {
  ShownWindow w;
  QElapsedTimer clock;
  clock.start();
  w.window->SetTimer(1, 30);
  w.window->SetTimer(4097, 20);
  QTRY_VERIFY_WITH_TIMEOUT(
      std::count(w.events.log.begin(), w.events.log.end(), "timer 1") >= 2 &&
          std::count(w.events.log.begin(), w.events.log.end(), "timer 4097") >= 2,
      3000);
  w.window->KillTimer(1);
  w.window->KillTimer(4097);
  w.events.log.clear();
  QTest::qWait(120);
  EXPECT_EQ(w.events.log, Log{}) << "a killed timer ticked";

  // Setting a running timer again starts its period from zero.
  w.window->SetTimer(7, 600);
  QTest::qWait(300);
  w.window->SetTimer(7, 600);
  QTest::qWait(400);  // 700 ms after the first start; the restarted period ends at 900
  EXPECT_EQ(w.events.log, Log{});
  QTRY_COMPARE_WITH_TIMEOUT(w.events.log, Log{"timer 7"}, 3000);
}

TEST(WindowRun, MessageBoxIsAModalWarningWithOneOkCaptionedArdvix) {
  ShownWindow w;
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  int buttons = 0;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
  });
  w.window->MessageBox("다시 선택하십시요 <b>x</b>");
  EXPECT_EQ(title, QStringLiteral("ardvix"));
  EXPECT_EQ(text, QStringLiteral("다시 선택하십시요 <b>x</b>"));
  EXPECT_EQ(icon, QMessageBox::Warning);
  EXPECT_EQ(buttons, 1);
}

struct LinesCase {
  std::string text;
  int lines;
  int shown_lines;
};

TEST(WindowRun, MultiLineBoxCountsCrLfLinesAndKeepsTheTextAsSet) {
  const LinesCase cases[] = {
      {"", 1, 1},
      {"one", 1, 1},
      {"one\r\ntwo", 2, 2},
      {"one\r\ntwo\r\n", 3, 3},
  };
  ShownWindow w;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    w.window->SetText(id::kLog, c.text);  // set while the box is hidden
    EXPECT_EQ(w.window->LineCount(id::kLog), c.lines);
    EXPECT_EQ(w.window->GetText(id::kLog), c.text);
    w.window->ShowControl(id::kLog, true);
    EXPECT_EQ(w.Control<QPlainTextEdit>(id::kLog)->blockCount(), c.shown_lines);
    w.window->SetText(id::kLog, c.text + "\r\nmore");  // and while it is shown
    EXPECT_EQ(w.Control<QPlainTextEdit>(id::kLog)->blockCount(), c.shown_lines + 1);
    w.window->ShowControl(id::kLog, false);
  }
}

TEST(WindowRun, ScrollToEndBringsTheLastLineIntoView) {
  ShownWindow w;
  w.window->ShowControl(id::kLog, true);
  std::string text = "line 0";
  for (int i = 1; i <= 50; ++i) text += "\r\nline " + std::to_string(i);
  w.window->SetText(id::kLog, text);
  w.window->ScrollToEnd(id::kLog);
  QScrollBar* bar = w.Control<QPlainTextEdit>(id::kLog)->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
}

}  // namespace
}  // namespace ardvix::platform::qt::testing
