// A manual preview of the Qt backend: shows a sample dialog template, fills its list with a
// few rows, and, with --message, opens a message box over it. With --template <id> it shows
// one of the system's sub-dialogs instead: 100 (About), 129 (video settings), 130 (find by
// MAC) or 135 (Help). Used with scripts/screenshot.sh to look at the layout and the Korean
// texts:
//   scripts/screenshot.sh /tmp/preview.png 3 build-qt/tests/gui/template_preview --message
//   scripts/screenshot.sh /tmp/help.png 3 build-qt/tests/gui/template_preview --template 135
// Nothing here opens a socket: the find-by-MAC layout is shown without its dialog class.
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/video_set_dlg.h"
#include "platform/qt/qt_runtime.h"
#include "window/info_boxes.h"
#include "window/templates/find_ip_template.h"
#include "window/templates/main_window_template.h"

namespace {

using namespace ardvix::platform;

// The main window's layout, with a Korean label to look at the font.
DialogTemplate SampleTemplate() {
  DialogTemplate d = ardvix::window::MainWindowTemplate();
  d.controls.push_back({-1, ControlKind::kStaticText, "다시 선택하십시요", 186, 97, 100, 8});
  return d;
}

class PreviewEvents : public WindowEvents {
 public:
  explicit PreviewEvents(bool show_message) : show_message_(show_message) {}
  Window* window = nullptr;

  void OnInitDialog() override {
    const char* headers[] = {"IP Address", "MAC Address", " Gateway", " Subnet Mask",
                             "Bootproto",  "ID",          "WebPort"};
    for (int i = 0; i < 7; ++i) window->InsertColumn(1005, i, headers[i], i == 4 ? 70 : 90);
    window->SetListFullRowSelect(1005, true, true);
    window->AppendRow(1005, {"192.168.0.20", "00:1A:2B:3C:4D:5E", "192.168.0.1", "255.255.255.0",
                             "static", "관리자", "80"});
    window->AppendRow(1005, {"192.168.0.21", "00:1A:2B:3C:4D:5F", "192.168.0.1", "255.255.255.0",
                             "dhcp", "admin", "one"});
    window->SetIpAddress(1017, 192, 168, 0, 20);
    window->SetIpAddress(1018, 192, 168, 0, 1);
    window->SetIpAddress(1019, 255, 255, 255, 0);
    window->SetText(1024, "00:1A:2B:3C:4D:5E");
    window->SetText(1026, "관리자");
    window->SetText(1027, "secret");
    window->SetCheck(1050, true);
    window->SetText(1033, "Broadcasting standby.....");
    if (show_message_) window->SetTimer(1, 500);
  }
  void OnTimer(int id) override {
    window->KillTimer(id);
    window->MessageBox("다시 선택하십시요");
  }
  void OnCommand(int id) override {
    if (id == kIdOk || id == kIdCancel) window->EndDialog(id);
  }

 private:
  bool show_message_;
};

// Shows a layout as it stands, with no code bound to it; OK and Cancel close it.
class LayoutEvents : public WindowEvents {
 public:
  Window* window = nullptr;
  void OnCommand(int id) override {
    if (id == kIdOk || id == kIdCancel) window->EndDialog(id);
  }
};

int ShowSubDialog(UiBackend& ui, int template_id) {
  switch (template_id) {
    case 100:
      return ardvix::window::CAboutDlg().DoModal(ui, nullptr);
    case 129:
      return ardvix::config::CVideoSetDlg().DoModal(ui, nullptr);
    case 135:
      return ardvix::window::CHelpDlg().DoModal(ui, nullptr);
    case 130: {
      LayoutEvents events;
      auto window = ui.CreateDialogWindow(ardvix::window::FindIpTemplate(), events, nullptr);
      events.window = window.get();
      return window->RunModal();
    }
    default:
      ui.MessageBox("No preview for template " + std::to_string(template_id));
      return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool show_message = argc > 1 && std::strcmp(argv[1], "--message") == 0;
  const int template_id =
      argc > 2 && std::strcmp(argv[1], "--template") == 0 ? std::atoi(argv[2]) : 0;
  return RunWithQt(argc, argv, [&](UiBackend& ui, ReadinessWatcher&) {
    if (template_id != 0) return ShowSubDialog(ui, template_id);
    PreviewEvents events(show_message);
    auto window = ui.CreateDialogWindow(SampleTemplate(), events, nullptr);
    events.window = window.get();
    window->RunModal();
    return 0;
  });
}
