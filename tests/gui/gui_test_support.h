// What the Qt backend's tests share: a window owner that records every event, a small
// template with one control of each kind, and a window shown on screen for real input.
#pragma once

#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/qt_window.h"

namespace ardvix::platform::qt::testing {

class RecordingEvents : public WindowEvents {
 public:
  std::vector<std::string> log;
  std::function<void(int)> on_command;
  std::function<void()> on_init;
  bool record_focus = false;  // focus moves are many; tests of focus switch them on

  void OnInitDialog() override {
    log.push_back("init");
    if (on_init) on_init();
  }
  void OnCommand(int id) override {
    log.push_back("command " + std::to_string(id));
    if (on_command) on_command(id);
  }
  void OnListClick(int id) override { log.push_back("click " + std::to_string(id)); }
  void OnListDoubleClick(int id, int row) override {
    log.push_back("double " + std::to_string(id) + " row " + std::to_string(row));
  }
  void OnSelectionChange(int id, int index) override {
    log.push_back("select " + std::to_string(id) + " " + std::to_string(index));
  }
  void OnTimer(int id) override { log.push_back("timer " + std::to_string(id)); }
  void OnSysCommand(int command) override {
    log.push_back("syscommand " + std::to_string(command));
  }
  void OnFocusGained(int id, int previous) override {
    if (!record_focus) return;
    log.push_back("focus " + std::to_string(id) + " from " + std::to_string(previous));
  }
  void OnDestroy() override { log.push_back("destroy"); }
};

// Ids of the sample template.
namespace id {
inline constexpr int kExit = 1;
inline constexpr int kFind = 1000;
inline constexpr int kLog = 1001;
inline constexpr int kHiddenButton = 1002;
inline constexpr int kList = 1005;
inline constexpr int kChange = 1006;
inline constexpr int kAddress = 1017;
inline constexpr int kPassword = 1027;
inline constexpr int kMac = 1033;
inline constexpr int kQuality = 1048;
inline constexpr int kStatic = 1050;
inline constexpr int kDynamic = 1051;
inline constexpr int kOtherGroup = 1060;
}  // namespace id

inline const IconImage& SampleIcon() {
  static const IconImage icon{32, 32, std::vector<uint32_t>(32 * 32, 0xff2060a0u)};
  return icon;
}

inline DialogTemplate SampleTemplate() {
  DialogTemplate t;
  t.id = 102;
  t.caption = "Sample";
  t.cx = 300;
  t.cy = 200;
  t.font_name = "굴림";
  t.font_points = 9;
  t.minimize_box = true;
  t.controls = {
      {id::kExit, ControlKind::kPushButton, "Exit", 240, 180, 50, 14},
      {id::kFind, ControlKind::kDefPushButton, "IP Find", 7, 7, 50, 14},
      {id::kHiddenButton, ControlKind::kPushButton, "Brodcast Off", 60, 7, 50, 14, kHidden},
      {id::kChange, ControlKind::kPushButton, "IP Change", 115, 7, 50, 14, kDisabled},
      {id::kList, ControlKind::kListView, "", 7, 25, 280, 60, kBorder},
      {id::kLog, ControlKind::kEdit, "", 7, 25, 280, 30,
       kMultiLine | kReadOnly | kVScroll | kNoWordWrap | kBorder | kHidden},
      {-1, ControlKind::kStaticText, "IP Address", 7, 92, 50, 8},
      {id::kAddress, ControlKind::kIpAddress, "", 60, 90, 100, 15},
      {-1, ControlKind::kStaticText, "Password", 7, 112, 50, 8},
      {id::kPassword, ControlKind::kEdit, "", 60, 110, 100, 14, kPassword | kBorder},
      {-1, ControlKind::kStaticText, "Mac Address", 7, 130, 50, 8},
      {id::kMac, ControlKind::kEdit, "", 60, 128, 100, 14, kUpperCase | kCenter | kBorder},
      {id::kStatic, ControlKind::kRadioButton, "Static IP Address", 170, 90, 80, 10, kGroup},
      {id::kDynamic, ControlKind::kRadioButton, "Dynamic IP Address", 170, 102, 80, 10},
      {id::kOtherGroup, ControlKind::kRadioButton, "Other", 170, 114, 80, 10, kGroup},
      {id::kQuality, ControlKind::kDropDownList, "", 170, 128, 80, 60},
      {-1, ControlKind::kIcon, "", 260, 90, 20, 20, kStyleNone, &SampleIcon()},
      {-1, ControlKind::kStaticText, "다시 선택하십시요", 7, 150, 200, 8},
  };
  return t;
}

// A window of the sample template, shown and active, without a modal run, so that a test
// can give it real input and look at it between steps.
struct ShownWindow {
  RecordingEvents events;
  std::unique_ptr<QtWindow> window;

  explicit ShownWindow(const DialogTemplate& tmpl = SampleTemplate()) {
    window = std::make_unique<QtWindow>(tmpl, events, nullptr);
    window->widget()->show();
    window->widget()->activateWindow();
    shown = QTest::qWaitForWindowActive(window->widget());
  }

  template <typename T = QWidget>
  T* Control(int id) const {
    return qobject_cast<T*>(window->ControlWidget(id));
  }

  bool shown = false;
};

}  // namespace ardvix::platform::qt::testing
