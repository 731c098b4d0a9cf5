// Runs the main window on the headless backend: the test body runs inside the window's
// modal run, as the operator would act while the window is open.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_environment.h"
#include "support/announcement.h"
#include "support/fake_ping_runner.h"
#include "window/control_ids.h"
#include "window/finder_dlg.h"

namespace ardvix::testing {

inline constexpr uint32_t Ip(int a, int b, int c, int d) {
  return (uint32_t(a) << 24) | (uint32_t(b) << 16) | (uint32_t(c) << 8) | uint32_t(d);
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    platform::InterfaceInfo eth;
    eth.name = "eth0";
    eth.address = Ip(192, 168, 0, 10);
    eth.netmask = Ip(255, 255, 255, 0);
    eth.up = eth.broadcast = true;
    env.host.SetInterfaces({eth});
    env.host.SetHostName("fieldlaptop");
    env.host.SetResolution("fieldlaptop", {Ip(192, 168, 0, 10)});
  }

  // Opens the main window, runs body while it is open, and returns when it has been
  // destroyed. body must close the window (Exit, Escape, ...) or it ends with Cancel.
  void RunWindow(const std::function<void(headless::HeadlessWindow&)>& body) {
    auto runner = std::make_unique<FakePingRunner>();
    pinger_ = runner.get();
    window::CFinderDlg dlg(env.services, std::move(runner));
    dlg_ = &dlg;
    env.backend.SetModalScript(window::IDD_FINDER_DIALOG, body);
    dlg.DoModal();
    dlg_ = nullptr;
    pinger_ = nullptr;
  }

  // A device on the segment: its announcement and the address it answers from.
  struct ListedDevice {
    FakeDevice device;
    std::string address;
  };

  // Presses "IP Find" and lets every device answer for this PC; the rows are listed.
  void FindDevices(headless::HeadlessWindow& w, const std::vector<ListedDevice>& devices) {
    w.Click(window::IDC_IP_FIND);
    const uint16_t port = env.network.sent().back().local_port;
    for (const auto& d : devices) {
      env.network.Deliver(port, Announcement(d.device, "LI=192.168.0.10\n"), d.address, 7005);
    }
    env.backend.Pump();
    ASSERT_EQ(w.RowCount(window::IDC_DEVICE_LIST), static_cast<int>(devices.size()));
  }

  // Double-clicks a row, then forgets what was sent and run so far.
  void SelectRow(headless::HeadlessWindow& w, int row) {
    w.DoubleClickList(window::IDC_DEVICE_LIST, row);
    env.network.ClearSent();
    env.shell.ClearCommands();
  }

  window::CFinderDlg& dlg() { return *dlg_; }
  FakePingRunner& pinger() { return *pinger_; }
  std::vector<std::string> Boxes() const { return env.backend.message_boxes(); }

  headless::HeadlessEnvironment env;

 private:
  window::CFinderDlg* dlg_ = nullptr;
  FakePingRunner* pinger_ = nullptr;
};

}  // namespace ardvix::testing
