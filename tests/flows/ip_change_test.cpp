#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "nettools/ping_messages.h"
#include "support/announcement.h"

namespace ardvix::testing {
namespace {

using headless::HeadlessWindow;
using namespace window;
using nettools::WM_PING_NOHOST;
using nettools::WM_PING_REPLY;
using nettools::WM_PING_TIMEOUT;

constexpr const char* kLocal = "LI=192.168.0.10\n";

std::string Word(const headless::SentDatagram& d) {
  return std::string(d.bytes.begin(), d.bytes.begin() + 9);
}

std::vector<uint8_t> Frame(const std::string& content, size_t length = 300) {
  std::vector<uint8_t> frame(length, 0);
  std::copy(content.begin(), content.end(), frame.begin());
  return frame;
}

// Lists a static device, a dhcp device and one in its initial state, and loads one of them.
class IpChangeTest : public MainWindowTest {
 protected:
  void ListAndSelect(HeadlessWindow& w, int row) {
    FindDevices(
        w,
        {{{"00:11:22:33:44:01", "10.1.1.254", "255.255.0.0", "static", "cam1", "80"}, "10.1.1.21"},
         {{"00:11:22:33:44:02", "10.1.1.254", "255.255.0.0", "dhcp", "cam2", "80"}, "10.1.1.22"},
         {{"00:11:22:33:44:03", "10.1.1.254", "255.255.0.0", "static", "cam3", "one"},
          "10.1.1.23"}});
    SelectRow(w, row);
  }
  std::vector<headless::SentDatagram> SentWord(const std::string& word) const {
    std::vector<headless::SentDatagram> out;
    for (const auto& d : env.network.sent()) {
      if (Word(d) == word) out.push_back(d);
    }
    return out;
  }
  // Answers the credential request that went out last.
  void AnswerCredential(const std::string& text) {
    const auto requests = SentWord("pwconfirm");
    env.network.Deliver(requests.back().local_port, std::vector<uint8_t>(text.begin(), text.end()),
                        "10.1.1.21", 7005);
    env.backend.Pump();
  }
  void FinishProbe(const std::vector<uint32_t>& outcomes) {
    pinger().Finish(outcomes);
    env.backend.Pump();
  }
  // Password typed, IP Change pressed, device said "OK": the probe is running.
  void ConfirmAndProbe(HeadlessWindow& w, int row = 0) {
    ListAndSelect(w, row);
    w.TypeText(IDC_PASSWORD, "secret");
    w.Click(IDC_IP_CHANGE);
    AnswerCredential("OK");
  }
};

TEST_F(IpChangeTest, IpChangeSendsTheCredentialRequestAndOkStartsTheProbe) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 0);
    w.TypeText(IDC_PASSWORD, "secret");
    w.Click(IDC_IP_CHANGE);
    EXPECT_EQ(env.shell.commands(), std::vector<std::string>{"ip neigh flush all"});
    EXPECT_EQ(w.GetText(IDC_STATUS), "IP Address Changing.....");
    EXPECT_FALSE(w.IsControlEnabled(IDC_IP_CHANGE));
    const auto requests = SentWord("pwconfirm");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].bytes, Frame("pwconfirmMAC00:11:22:33:44:01cam1=secret=", 60));
    EXPECT_EQ(requests[0].address, "255.255.255.255");

    AnswerCredential("OK");
    ASSERT_EQ(pinger().jobs.size(), 1u);
    EXPECT_EQ(pinger().jobs[0].count, 2u);
    EXPECT_EQ(pinger().jobs[0].target, "10.1.1.21");
    EXPECT_TRUE(w.TimerRunning(TIMER_PING));
    EXPECT_EQ(w.TimerPeriod(TIMER_PING), 50);
    EXPECT_FALSE(env.network.IsPortOpen(requests[0].local_port));
    EXPECT_FALSE(w.IsControlEnabled(IDC_IP_CHANGE));
    w.Click(IDOK_EXIT);
  });
}

struct CredentialCase {
  const char* name;
  std::string answer;
  std::string box;
  std::string status;
};

class CredentialRefusals : public IpChangeTest,
                           public ::testing::WithParamInterface<CredentialCase> {};

TEST_P(CredentialRefusals, AnythingButOkEndsTheChangeAndEnablesIpChange) {
  const CredentialCase& c = GetParam();
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 0);
    w.TypeText(IDC_PASSWORD, "secret");
    w.Click(IDC_IP_CHANGE);
    AnswerCredential(c.answer);
    EXPECT_TRUE(pinger().jobs.empty());
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_CHANGE));
    EXPECT_EQ(w.GetText(IDC_STATUS), c.status);
    EXPECT_FALSE(env.network.IsPortOpen(SentWord("pwconfirm").back().local_port));
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 3);
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{c.box});
}

const char* const kServerProblem = "Server에 이상이 있습니다. 확인 하십시요~!";

INSTANTIATE_TEST_SUITE_P(
    Answers, CredentialRefusals,
    ::testing::Values(
        CredentialCase{"NO", "NO", "잘못된 암호 입니다.  확인 후 재 접속 하십시요~!",
                       "Password Incorrect~!"},
        CredentialCase{"LowerCaseOk", "ok", kServerProblem, "IP Address Changing....."},
        CredentialCase{"OkWithLineEnd", "OK\n", kServerProblem, "IP Address Changing....."},
        CredentialCase{"Empty", "", kServerProblem, "IP Address Changing....."}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(IpChangeTest, EmptyPasswordIsRefusedBeforeAnythingIsSent) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 0);
    w.Click(IDC_IP_CHANGE);
    EXPECT_EQ(w.GetText(IDC_STATUS), "IP Address Change Fail");
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_CHANGE));
    EXPECT_TRUE(env.network.sent().empty());
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Input Password ~!"});
}

TEST_F(IpChangeTest, SecondIpChangeAbandonsTheUnansweredRequest) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 0);
    w.TypeText(IDC_PASSWORD, "secret");
    w.Click(IDC_IP_CHANGE);
    w.DoubleClickList(IDC_DEVICE_LIST, 0);  // brings the button back
    w.Click(IDC_IP_CHANGE);
    const auto requests = SentWord("pwconfirm");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[0].local_port, requests[1].local_port);
    EXPECT_FALSE(env.network.IsPortOpen(requests[0].local_port));
    w.Click(IDOK_EXIT);
  });
}

TEST_F(IpChangeTest, InitialStateDeviceInStaticModeSkipsTheConfirmation) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 2);
    w.Click(IDC_IP_CHANGE);
    EXPECT_TRUE(SentWord("pwconfirm").empty());
    ASSERT_EQ(pinger().jobs.size(), 1u);
    EXPECT_EQ(pinger().jobs[0].target, "10.1.1.23");
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 0);
    EXPECT_FALSE(w.IsControlEnabled(IDC_IP_CHANGE));
    w.Click(IDOK_EXIT);
  });
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(IpChangeTest, InitialStateDeviceInDynamicModeIsConfirmedWithAnEmptyPassword) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 2);
    w.Click(IDC_DYNAMIC_IP);
    w.Click(IDC_IP_CHANGE);
    const auto requests = SentWord("pwconfirm");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].bytes, Frame("pwconfirmMAC00:11:22:33:44:03cam3==", 60));
    w.Click(IDOK_EXIT);
  });
}

struct ProbeCase {
  const char* name;
  std::vector<uint32_t> outcomes;
  bool sent;
  std::string refusal;  // box and status when nothing is sent
};

class ProbeOutcome : public IpChangeTest, public ::testing::WithParamInterface<ProbeCase> {};

TEST_P(ProbeOutcome, StaticModeSendsOnlyWhenNoHostAnswered) {
  const ProbeCase& c = GetParam();
  RunWindow([&](HeadlessWindow& w) {
    ConfirmAndProbe(w);
    w.TypeIpAddress(IDC_IP_ADDRESS, "10.1.1.50");
    env.shell.ClearCommands();
    FinishProbe(c.outcomes);
    EXPECT_FALSE(w.TimerRunning(TIMER_PING));
    const auto sets = SentWord("ipaddrset");
    if (c.sent) {
      ASSERT_EQ(sets.size(), 1u);
      EXPECT_EQ(sets[0].bytes, Frame("ipaddrsetMAC00:11:22:33:44:01address 10.1.1.50\n"
                                     "gateway 10.1.1.254\nnetmask 255.255.0.0\n" +
                                     std::string(kLocal)));
      EXPECT_EQ(env.shell.commands(), std::vector<std::string>{"ip neigh flush all"});
      EXPECT_FALSE(w.IsControlEnabled(IDC_IP_CHANGE));
      EXPECT_TRUE(Boxes().empty());
    } else {
      EXPECT_TRUE(sets.empty());
      EXPECT_TRUE(w.IsControlEnabled(IDC_IP_CHANGE));
      EXPECT_EQ(w.GetText(IDC_STATUS), c.refusal);
      EXPECT_EQ(Boxes(), std::vector<std::string>{c.refusal});
    }
    w.Click(IDOK_EXIT);
  });
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ProbeOutcome,
    ::testing::Values(ProbeCase{"TimeoutOnly", {WM_PING_TIMEOUT, WM_PING_TIMEOUT}, true, ""},
                      ProbeCase{"ReplyAndTimeout",
                                {WM_PING_REPLY, WM_PING_TIMEOUT},
                                false,
                                "Input address is occupied Please check it again. ~!"},
                      ProbeCase{"ReplyOnly",
                                {WM_PING_REPLY, WM_PING_REPLY},
                                false,
                                "Input address is occupied Please check it again. ~!"},
                      ProbeCase{"NoHost", {WM_PING_NOHOST}, false, "Input Invalid address.~!"},
                      ProbeCase{"Nothing", {}, false, "There's something wrong in Server.~!"}),
    [](const auto& p) { return std::string(p.param.name); });

struct FieldCase {
  const char* name;
  int control;
  std::string value;
};

class IncompleteField : public IpChangeTest, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(IncompleteField, IsRefusedWhateverTheProbeFound) {
  RunWindow([&](HeadlessWindow& w) {
    ConfirmAndProbe(w);
    w.TypeIpAddress(GetParam().control, GetParam().value);
    FinishProbe({WM_PING_TIMEOUT, WM_PING_TIMEOUT});
    EXPECT_TRUE(SentWord("ipaddrset").empty());
    EXPECT_FALSE(w.IsControlEnabled(IDC_IP_CHANGE));
    EXPECT_EQ(w.GetText(IDC_STATUS), "IP Address Changing.....");
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Incorrect network configuration"});
}

INSTANTIATE_TEST_SUITE_P(Fields, IncompleteField,
                         ::testing::Values(FieldCase{"AddressBlankPart", IDC_IP_ADDRESS,
                                                     "10.1..50"},
                                           FieldCase{"GatewayFirstZero", IDC_GATEWAY, "0.1.1.1"},
                                           FieldCase{"MaskAllZero", IDC_SUBNET_MASK, "0.0.0.0"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(IpChangeTest, BlankAddressFieldStopsTheProbeBeforeItStarts) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 2);
    w.TypeIpAddress(IDC_IP_ADDRESS, "");
    w.Click(IDC_IP_CHANGE);
    EXPECT_TRUE(pinger().jobs.empty());
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"IP Address를 선택해 주십시오"});
}

TEST_F(IpChangeTest, DynamicModeSendsDynamcsetWhateverTheProbeFound) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 1);
    w.Click(IDC_DYNAMIC_IP);
    w.TypeText(IDC_PASSWORD, "pw");
    w.Click(IDC_IP_CHANGE);
    AnswerCredential("OK");
    FinishProbe({WM_PING_REPLY, WM_PING_REPLY});
    const auto sets = SentWord("dynamcset");
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0].bytes, Frame("dynamcsetMAC00:11:22:33:44:02" + std::string(kLocal)));

    // The device's answer: forms cleared, discovery runs again.
    env.network.ClearSent();
    env.network.Deliver(sets[0].local_port, AnswerDatagram(0xFC, kLocal), "10.1.1.22", 7005);
    env.backend.Pump();
    EXPECT_EQ(w.GetText(IDC_STATUS), "Camera changed Dynamic");
    EXPECT_EQ(SentWord("cryptomac").size(), 1u);
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Server changed Dynamic set"});
}

TEST_F(IpChangeTest, DeviceAnswerForThisPcClearsTheFormsAndRunsDiscoveryAgain) {
  RunWindow([&](HeadlessWindow& w) {
    ConfirmAndProbe(w);
    FinishProbe({WM_PING_TIMEOUT, WM_PING_TIMEOUT});
    const auto set = SentWord("ipaddrset").at(0);
    std::vector<std::string> status_during_box;
    env.backend.on_message_box = [&](const std::string&) {
      status_during_box.push_back(w.GetText(IDC_STATUS));
    };
    env.network.Deliver(set.local_port, AnswerDatagram(0xFA, kLocal), "10.1.1.21", 7005);
    env.backend.Pump();
    EXPECT_EQ(status_during_box, std::vector<std::string>{"Server changed network configuration"});
    EXPECT_FALSE(env.network.IsPortOpen(set.local_port));
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_CHANGE));
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 0);
    for (int id : {IDC_IP_ADDRESS, IDC_GATEWAY, IDC_SUBNET_MASK}) {
      const auto p = w.GetIpAddress(id);
      EXPECT_EQ(p.filled, 4);
      EXPECT_EQ(p.part[0] + p.part[1] + p.part[2] + p.part[3], 0);
    }
    EXPECT_EQ(dlg().mac(), "");
    EXPECT_EQ(SentWord("cryptomac").size(), 1u);  // the new discovery
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Camera changed IP Address"});
}

TEST_F(IpChangeTest, AnswerForAnotherPcKeepsTheSocketUntilTheNextCommand) {
  RunWindow([&](HeadlessWindow& w) {
    ConfirmAndProbe(w);
    FinishProbe({WM_PING_TIMEOUT, WM_PING_TIMEOUT});
    const auto set = SentWord("ipaddrset").at(0);
    env.network.Deliver(set.local_port, AnswerDatagram(0xFA, "LI=192.168.0.11\n"), "10.1.1.21",
                        7005);
    env.backend.Pump();
    EXPECT_TRUE(w.IsControlEnabled(IDC_IP_CHANGE));
    EXPECT_TRUE(env.network.IsPortOpen(set.local_port));
    EXPECT_EQ(w.RowCount(IDC_DEVICE_LIST), 3);
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"It's not a Brocasting return Socket.. "});
}

TEST_F(IpChangeTest, EmptyMacIsRefusedWhenTheCommandWouldGoOut) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 2);
    w.SetText(IDC_MAC, "");  // the box as the data exchange will read it
    w.Click(IDC_IP_CHANGE);
    FinishProbe({WM_PING_TIMEOUT, WM_PING_TIMEOUT});
    EXPECT_TRUE(SentWord("ipaddrset").empty());
    EXPECT_TRUE(w.IsControlEnabled(IDC_PASSWORD));
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Server select Incorrect~!"});
}

TEST_F(IpChangeTest, PingRunsTheSystemPingOnTheAddressField) {
  RunWindow([&](HeadlessWindow& w) {
    ListAndSelect(w, 0);
    w.TypeIpAddress(IDC_IP_ADDRESS, "10.0.0.5");
    w.Click(IDC_PING);
    EXPECT_EQ(env.shell.commands(),
              (std::vector<std::string>{"ip neigh flush all", "ping -c 4 10.0.0.5"}));
    ASSERT_EQ(env.backend.text_windows().size(), 1u);
    EXPECT_TRUE(w.IsControlEnabled(IDC_PING));

    env.shell.ClearCommands();
    w.TypeIpAddress(IDC_IP_ADDRESS, "10..0.5");
    w.Click(IDC_PING);
    EXPECT_EQ(env.shell.commands(), std::vector<std::string>{"ip neigh flush all"});
    w.Click(IDOK_EXIT);
  });
  EXPECT_EQ(Boxes(), std::vector<std::string>{"Incorrect network configuration"});
}

}  // namespace
}  // namespace ardvix::testing
