#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless/headless_environment.h"
#include "platform/headless/typing.h"

namespace ardvix::headless {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::Notification;
using platform::ReceiveError;

constexpr int kTemplateId = 500;
constexpr int kGo = 10, kHidden = 11, kDisabled = 12, kDefault = 13;
constexpr int kRadioA = 20, kRadioB = 21, kRadioC = 22, kRadioX = 30, kRadioY = 31;
constexpr int kLimited = 40, kUpper = 41, kLog = 42, kList = 50, kAddress = 60, kChoice = 70;

DialogTemplate SmallTemplate() {
  DialogTemplate t;
  t.id = kTemplateId;
  t.caption = "Small";
  auto add = [&](int id, ControlKind kind, std::string text, uint32_t style = 0) {
    ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = std::move(text);
    c.style = style;
    t.controls.push_back(c);
  };
  add(-1, ControlKind::kStaticText, "label");
  add(kGo, ControlKind::kPushButton, "Go");
  add(kHidden, ControlKind::kPushButton, "Hidden", platform::kHidden);
  add(kDisabled, ControlKind::kPushButton, "Off", platform::kDisabled);
  add(kDefault, ControlKind::kDefPushButton, "Default");
  add(kRadioA, ControlKind::kRadioButton, "A", platform::kGroup);
  add(kRadioB, ControlKind::kRadioButton, "B");
  add(kRadioC, ControlKind::kRadioButton, "C");
  add(kRadioX, ControlKind::kRadioButton, "X", platform::kGroup);
  add(kRadioY, ControlKind::kRadioButton, "Y");
  add(kLimited, ControlKind::kEdit, "");
  add(kUpper, ControlKind::kEdit, "", platform::kUpperCase);
  add(kLog, ControlKind::kEdit, "", platform::kMultiLine | platform::kReadOnly);
  add(kList, ControlKind::kListView, "");
  add(kAddress, ControlKind::kIpAddress, "");
  add(kChoice, ControlKind::kDropDownList, "");
  return t;
}

// Records every handler call as a line of text; a test may hook the commands.
class RecordingEvents : public platform::WindowEvents {
 public:
  std::vector<std::string> log;
  std::function<void(int)> on_command;
  std::function<void(int)> on_timer;
  std::function<void(const Notification&)> on_notification;

  void OnInitDialog() override { log.push_back("init"); }
  void OnCommand(int id) override {
    log.push_back("command " + std::to_string(id));
    if (on_command) on_command(id);
  }
  void OnListClick(int id) override { log.push_back("click " + std::to_string(id)); }
  void OnListDoubleClick(int id, int row) override {
    log.push_back("double " + std::to_string(id) + " " + std::to_string(row));
  }
  void OnSelectionChange(int id, int index) override {
    log.push_back("select " + std::to_string(id) + " " + std::to_string(index));
  }
  void OnTimer(int id) override {
    log.push_back("timer " + std::to_string(id));
    if (on_timer) on_timer(id);
  }
  void OnNotification(const Notification& n) override {
    log.push_back("notify " + std::to_string(n.code) + n.text);
    if (on_notification) on_notification(n);
  }
  void OnSysCommand(int command) override { log.push_back("sys " + std::to_string(command)); }
  void OnFocusGained(int id, int previous) override {
    log.push_back("focus " + std::to_string(id) + " " + std::to_string(previous));
  }
  void OnDestroy() override { log.push_back("destroy"); }
};

class HeadlessWindowTest : public ::testing::Test {
 protected:
  HeadlessWindow& Open(const DialogTemplate& t = SmallTemplate()) {
    window_ = env_.backend.CreateDialogWindow(t, events_, nullptr);
    return static_cast<HeadlessWindow&>(*window_);
  }

  HeadlessEnvironment env_;
  RecordingEvents events_;
  std::unique_ptr<platform::Window> window_;
};

TEST_F(HeadlessWindowTest, OnlyVisibleEnabledControlsCanBeOperated) {
  HeadlessWindow& w = Open();
  EXPECT_FALSE(w.Click(kHidden));
  EXPECT_FALSE(w.Click(kDisabled));
  EXPECT_FALSE(w.Click(kLimited));  // an edit is not a button
  EXPECT_FALSE(w.Click(999));
  w.ShowControl(kLimited, false);
  EXPECT_FALSE(w.TypeText(kLimited, "x"));
  EXPECT_TRUE(events_.log.empty());

  w.SendCommand(kHidden);  // a command whose button is hidden can still be given
  EXPECT_TRUE(w.Click(kGo));
  w.EnableControl(kDisabled, true);
  EXPECT_TRUE(w.Click(kDisabled));
  EXPECT_EQ(events_.log, (std::vector<std::string>{"command 11", "command 10", "command 12"}));
}

TEST_F(HeadlessWindowTest, SettingControlsFromCodeFiresNothing) {
  HeadlessWindow& w = Open();
  w.SetText(kLimited, "abc");
  w.SetCheck(kRadioB, true);
  w.SetIpAddress(kAddress, 10, 0, 0, 5);
  w.AddItem(kChoice, "one");
  w.AddItem(kChoice, "two");
  w.SelectItem(kChoice, 1);
  w.InsertColumn(kList, 0, "IP", 90);
  w.AppendRow(kList, {"10.0.0.5"});
  w.SetFocus(kLimited);
  w.SetTimer(1, 100);
  w.KillTimer(1);
  EXPECT_TRUE(events_.log.empty());

  EXPECT_EQ(w.GetText(kLimited), "abc");
  EXPECT_TRUE(w.GetCheck(kRadioB));
  EXPECT_FALSE(w.GetCheck(kRadioA));  // code sets one button only
  EXPECT_EQ(w.GetIpAddress(kAddress).filled, 4);
  EXPECT_EQ(w.GetText(kChoice), "two");
  EXPECT_EQ(w.CellText(kList, 0, 0), "10.0.0.5");
  EXPECT_EQ(w.CellText(kList, 0, 1), "");
  EXPECT_EQ(w.FocusedControl(), kLimited);
  w.SelectItem(kChoice, 5);
  EXPECT_EQ(w.SelectedItem(kChoice), -1);
}

TEST_F(HeadlessWindowTest, RadioClickChecksItsGroupOnlyBeforeTheCommand) {
  HeadlessWindow& w = Open();
  w.SetCheck(kRadioA, true);
  w.SetCheck(kRadioC, true);
  w.SetCheck(kRadioX, true);
  bool checked_when_handled = false;
  events_.on_command = [&](int) { checked_when_handled = w.GetCheck(kRadioB); };

  ASSERT_TRUE(w.Click(kRadioB));
  EXPECT_TRUE(checked_when_handled);
  EXPECT_FALSE(w.GetCheck(kRadioA));
  EXPECT_TRUE(w.GetCheck(kRadioB));
  EXPECT_FALSE(w.GetCheck(kRadioC));
  EXPECT_TRUE(w.GetCheck(kRadioX));  // another group

  ASSERT_TRUE(w.Click(kRadioY));
  EXPECT_FALSE(w.GetCheck(kRadioX));
  EXPECT_TRUE(w.GetCheck(kRadioB));
}

TEST_F(HeadlessWindowTest, TypingRespectsLimitCaseAndReadOnly) {
  HeadlessWindow& w = Open();
  w.SetTextLimit(kLimited, 10);
  ASSERT_TRUE(w.TypeText(kLimited, "0123456789X"));
  EXPECT_EQ(w.GetText(kLimited), "0123456789");
  ASSERT_TRUE(w.TypeText(kUpper, "ab12:cd"));
  EXPECT_EQ(w.GetText(kUpper), "AB12:CD");
  EXPECT_FALSE(w.TypeText(kLog, "x"));
  EXPECT_EQ(w.GetText(kLog), "");
  // A single-line edit holds no more than its limit, whoever sets the text.
  w.SetText(kLimited, "0123456789ABC");
  EXPECT_EQ(w.GetText(kLimited), "0123456789");
  w.SetText(kUpper, "abcdef");
  w.SetTextLimit(kUpper, 3);
  EXPECT_EQ(w.GetText(kUpper), "abc");  // code's text keeps its case
  EXPECT_TRUE(events_.log.empty());
}

struct TypedTextCase {
  const char* name;
  std::string typed;
  int limit;
  bool upper;
  std::string held;
};

class TypedTextTable : public ::testing::TestWithParam<TypedTextCase> {};

TEST_P(TypedTextTable, HoldsWhatTypingLeaves) {
  const auto& c = GetParam();
  EXPECT_EQ(TypedText(c.typed, c.limit, c.upper), c.held);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedTextTable,
    ::testing::Values(TypedTextCase{"NoLimit", "abc", -1, false, "abc"},
                      TypedTextCase{"ExactlyAtLimit", "abcd", 4, false, "abcd"},
                      TypedTextCase{"OverLimit", "abcde", 4, false, "abcd"},
                      TypedTextCase{"ZeroLimit", "abc", 0, false, ""},
                      // Two Korean characters of three bytes each: the limit counts characters.
                      TypedTextCase{"MultiByteCharacters", "\xEA\xB0\x80\xEB\x82\x98x", 2, false,
                                    "\xEA\xB0\x80\xEB\x82\x98"},
                      TypedTextCase{"UpperCaseAsciiOnly", "a-z\xEA\xB0\x80", -1, true,
                                    "A-Z\xEA\xB0\x80"}),
    [](const auto& p) { return std::string(p.param.name); });

struct TypedAddressCase {
  const char* name;
  std::string typed;
  std::optional<std::array<int, 5>> parts_then_filled;
};

class TypedAddressTable : public ::testing::TestWithParam<TypedAddressCase> {};

TEST_P(TypedAddressTable, HoldsWhatTypingLeaves) {
  const auto& c = GetParam();
  const auto parts = TypedIpAddress(c.typed);
  ASSERT_EQ(parts.has_value(), c.parts_then_filled.has_value());
  if (!parts) return;
  const auto& want = *c.parts_then_filled;
  EXPECT_EQ((std::array<int, 5>{parts->part[0], parts->part[1], parts->part[2], parts->part[3],
                                parts->filled}),
            want);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TypedAddressTable,
    ::testing::Values(
        TypedAddressCase{"Full", "192.168.0.10", std::array<int, 5>{192, 168, 0, 10, 4}},
        TypedAddressCase{"ThirdBlank", "10.0..5", std::array<int, 5>{10, 0, 0, 5, 3}},
        TypedAddressCase{"AllBlank", "", std::array<int, 5>{0, 0, 0, 0, 0}},
        TypedAddressCase{"OnlyFirst", "7", std::array<int, 5>{7, 0, 0, 0, 1}},
        TypedAddressCase{"OverRangeCorrected", "300.1.1.1", std::array<int, 5>{255, 1, 1, 1, 4}},
        TypedAddressCase{"FiveParts", "1.2.3.4.5", std::nullopt},
        TypedAddressCase{"Letters", "10.a.0.1", std::nullopt},
        TypedAddressCase{"FourDigits", "1000.0.0.1", std::nullopt}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(HeadlessWindowTest, MultiLineEditCountsCrLfLines) {
  HeadlessWindow& w = Open();
  const std::vector<std::pair<std::string, int>> cases = {
      {"", 1}, {"one", 1}, {"one\r\ntwo", 2}, {"one\r\n", 2}, {"one\ntwo", 1}, {"\r\n\r\n", 3}};
  for (const auto& [text, lines] : cases) {
    w.SetText(kLog, text);
    EXPECT_EQ(w.LineCount(kLog), lines) << text;
  }
  w.ScrollToEnd(kLog);
  EXPECT_TRUE(w.ScrolledToEnd(kLog));
  w.SetText(kLog, "new");
  EXPECT_FALSE(w.ScrolledToEnd(kLog));
}

TEST_F(HeadlessWindowTest, KeyboardAndListActionsFireWhatTheOperatorWould) {
  HeadlessWindow& w = Open();
  w.AppendRow(kList, {"a"});
  w.AppendRow(kList, {"b"});
  w.AddItem(kChoice, "one");
  w.AddItem(kChoice, "two");

  EXPECT_TRUE(w.PressEnter());
  EXPECT_TRUE(w.PressEscape());
  EXPECT_TRUE(w.CloseBox());
  EXPECT_TRUE(w.ChooseSysCommand(16));
  EXPECT_TRUE(w.ClickList(kList));
  EXPECT_TRUE(w.DoubleClickList(kList, 1));
  EXPECT_TRUE(w.DoubleClickList(kList, -1));
  EXPECT_FALSE(w.DoubleClickList(kList, 2));  // no such row
  EXPECT_TRUE(w.ChooseItem(kChoice, 1));
  EXPECT_FALSE(w.ChooseItem(kChoice, 2));
  EXPECT_TRUE(w.FocusControl(kLimited));
  EXPECT_TRUE(w.FocusControl(kGo));
  EXPECT_FALSE(w.FocusControl(kHidden));
  EXPECT_TRUE(w.TypeIpAddress(kAddress, "10.0..5"));
  EXPECT_EQ(w.GetIpAddress(kAddress).filled, 3);

  EXPECT_EQ(events_.log,
            (std::vector<std::string>{"command 13", "command 2", "command 2", "sys 16", "click 50",
                                      "click 50", "double 50 1", "click 50", "double 50 -1",
                                      "select 70 1", "focus 40 -1", "focus 10 40"}));
  EXPECT_EQ(w.SelectedItem(kChoice), 1);

  // A default button that cannot be pressed makes Enter do nothing; without one, Enter is OK.
  events_.log.clear();
  w.EnableControl(kDefault, false);
  EXPECT_FALSE(w.PressEnter());
  auto without_default = SmallTemplate();
  std::erase_if(without_default.controls, [](const auto& c) { return c.id == kDefault; });
  RecordingEvents other;
  auto plain = env_.backend.CreateDialogWindow(without_default, other, nullptr);
  EXPECT_TRUE(static_cast<HeadlessWindow&>(*plain).PressEnter());
  EXPECT_TRUE(events_.log.empty());
  EXPECT_EQ(other.log, std::vector<std::string>{"command 1"});
}

TEST_F(HeadlessWindowTest, TimersFireAtTheirVirtualTimesAndRestartWhenSetAgain) {
  HeadlessWindow& w = Open();
  std::vector<std::pair<int, uint64_t>> fired;
  events_.on_timer = [&](int id) { fired.emplace_back(id, env_.clock.NowMs()); };
  ASSERT_EQ(env_.clock.NowMs(), 1000u);
  w.SetTimer(1, 10000);
  w.SetTimer(2, 3000);

  env_.backend.AdvanceTime(10000);
  EXPECT_EQ(fired,
            (std::vector<std::pair<int, uint64_t>>{{2, 4000}, {2, 7000}, {2, 10000}, {1, 11000}}));
  EXPECT_EQ(env_.clock.NowMs(), 11000u);

  fired.clear();
  w.KillTimer(2);
  env_.backend.AdvanceTime(4000);  // 15000
  w.SetTimer(1, 10000);            // counts again from zero: due at 25000, not 21000
  env_.backend.AdvanceTime(9999);
  EXPECT_TRUE(fired.empty());
  env_.backend.AdvanceTime(1);
  EXPECT_EQ(fired, (std::vector<std::pair<int, uint64_t>>{{1, 25000}}));
  EXPECT_EQ(w.TimerPeriod(1), 10000);
  EXPECT_FALSE(w.TimerRunning(2));
}

TEST_F(HeadlessWindowTest, TimerKilledByAnotherTimersHandlerDoesNotFire) {
  HeadlessWindow& w = Open();
  events_.on_timer = [&](int id) {
    if (id == 1) w.KillTimer(2);
  };
  w.SetTimer(1, 100);
  w.SetTimer(2, 100);  // due at the same time, set later: fires after timer 1
  env_.backend.AdvanceTime(250);
  EXPECT_EQ(events_.log, (std::vector<std::string>{"timer 1", "timer 1"}));
}

TEST_F(HeadlessWindowTest, SleepingFiresNoTimerAndAnOverdueTimerFiresOnce) {
  HeadlessWindow& w = Open();
  std::vector<uint64_t> fired_at;
  events_.on_timer = [&](int) { fired_at.push_back(env_.clock.NowMs()); };
  events_.on_command = [&](int) { env_.clock.SleepMs(5000); };
  w.SetTimer(1, 100);

  ASSERT_TRUE(w.Click(kGo));  // the handler blocks the thread for 5 s of virtual time
  EXPECT_TRUE(fired_at.empty());
  EXPECT_EQ(env_.clock.TickCountMs(), 6000u);
  EXPECT_EQ(env_.clock.sleeps(), std::vector<uint32_t>{5000});

  env_.backend.AdvanceTime(150);
  EXPECT_EQ(fired_at, (std::vector<uint64_t>{6000, 6100}));
}

TEST(VirtualClock, TickCountWrapsLikeTheSystemTickCount) {
  VirtualClock clock(0xFFFFFFF0ull);
  clock.SleepMs(0x20);
  EXPECT_EQ(clock.TickCountMs(), 0x10u);
  clock.AdvanceTo(5);  // never backwards
  EXPECT_EQ(clock.NowMs(), 0x100000010ull);
}

// --- Fake sockets ---

struct ReceiveCase {
  const char* name;
  std::function<void(FakeUdpNetwork&, uint16_t)> queue;
  ReceiveError error;
  int bytes;
  int error_code;
};

class FakeSocketReceive : public ::testing::TestWithParam<ReceiveCase> {};

TEST_P(FakeSocketReceive, ReturnsWhatWasQueued) {
  const auto& c = GetParam();
  FakeUdpNetwork network;
  auto socket = network.CreateUdpSocket();
  ASSERT_TRUE(socket->Open());
  c.queue(network, socket->LocalPort());
  std::array<uint8_t, 300> buffer{};
  const auto r = socket->Receive(buffer);
  EXPECT_EQ(r.error, c.error);
  EXPECT_EQ(r.bytes, c.bytes);
  if (c.error == ReceiveError::kOther) {
    EXPECT_EQ(r.error_code, c.error_code);
  }
  if (c.bytes > 0) {
    EXPECT_EQ(buffer[0], 0xAB);
    EXPECT_EQ(buffer[static_cast<size_t>(c.bytes) - 1], 0xAB);
    EXPECT_EQ(r.source_address, "10.0.0.9");
    EXPECT_EQ(r.source_port, 7005);
  }
  EXPECT_EQ(network.Waiting(socket->LocalPort()), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FakeSocketReceive,
    ::testing::Values(ReceiveCase{"FitsTheBuffer",
                                  [](FakeUdpNetwork& n, uint16_t p) {
                                    n.Deliver(p, std::vector<uint8_t>(300, 0xAB), "10.0.0.9", 7005);
                                  },
                                  ReceiveError::kNone, 300, 0},
                      ReceiveCase{"LongerThanTheBuffer",
                                  [](FakeUdpNetwork& n, uint16_t p) {
                                    std::vector<uint8_t> bytes(301, 0xAB);
                                    bytes[300] = 0xCD;
                                    n.Deliver(p, bytes, "10.0.0.9", 7005);
                                  },
                                  ReceiveError::kTruncated, 300, 0},
                      ReceiveCase{"ScriptedFailure",
                                  [](FakeUdpNetwork& n, uint16_t p) {
                                    n.DeliverError(p, ReceiveError::kOther, ECONNREFUSED);
                                  },
                                  ReceiveError::kOther, -1, ECONNREFUSED},
                      ReceiveCase{"NothingWaiting", [](FakeUdpNetwork&, uint16_t) {},
                                  ReceiveError::kWouldBlock, -1, 0},
                      ReceiveCase{"ReadinessWithoutData",
                                  [](FakeUdpNetwork& n, uint16_t p) { n.SignalReadable(p); },
                                  ReceiveError::kWouldBlock, -1, 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(FakeSocket, SendsAreRecordedWithTheBroadcastOptionInForce) {
  FakeUdpNetwork network(40000);
  auto socket = network.CreateUdpSocket();
  const std::vector<uint8_t> frame{1, 2, 3};
  EXPECT_EQ(socket->SendTo(frame, "255.255.255.255", 7005), -1);  // closed
  ASSERT_TRUE(socket->Open());
  const uint16_t first = socket->LocalPort();
  EXPECT_EQ(socket->SendTo(frame, "255.255.255.255", 7005), -1);  // broadcast not enabled
  EXPECT_EQ(socket->SendTo(frame, "10.0.0.9", 7005), 3);
  socket->SetBroadcast(1);
  EXPECT_EQ(socket->SendTo(frame, "255.255.255.255", 7005), 3);
  ASSERT_TRUE(socket->Open());  // reopening closes and takes a new port
  const uint16_t second = socket->LocalPort();

  EXPECT_EQ(first, 40000);
  EXPECT_NE(second, first);
  EXPECT_EQ(network.opened_ports(), (std::vector<uint16_t>{first, second}));
  EXPECT_EQ(network.closed_ports(), std::vector<uint16_t>{first});
  EXPECT_EQ(network.BroadcastCalls(first), 1);
  EXPECT_EQ(network.BroadcastCalls(second), 0);
  const auto sent = network.sent();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_TRUE(sent[0].failed);
  EXPECT_EQ(sent[0].local_port, 0);
  EXPECT_TRUE(sent[1].failed);
  EXPECT_FALSE(sent[1].broadcast_on);
  EXPECT_FALSE(sent[2].failed);
  EXPECT_FALSE(sent[3].failed);
  EXPECT_TRUE(sent[3].broadcast_on);
  EXPECT_EQ(sent[3].local_port, first);
  EXPECT_EQ(sent[3].bytes, frame);

  network.Deliver(first, {1}, "10.0.0.9", 7005);  // the old port is gone
  EXPECT_EQ(network.lost(), 1);
}

class PumpTest : public ::testing::Test {
 protected:
  HeadlessEnvironment env_;
  std::unique_ptr<platform::UdpSocket> socket_ = env_.network.CreateUdpSocket();
  std::vector<std::string> received_;

  void ReadOne() {
    std::array<uint8_t, 8> buffer{};
    const auto r = socket_->Receive(buffer);
    received_.push_back(r.ok() ? std::string(buffer.begin(), buffer.begin() + r.bytes)
                               : "error " + std::to_string(static_cast<int>(r.error)));
  }
};

TEST_F(PumpTest, OneCallbackPerWaitingItem) {
  ASSERT_TRUE(socket_->Open());
  socket_->SetReadableCallback([this] { ReadOne(); });
  const uint16_t port = socket_->LocalPort();
  env_.network.Deliver(port, {'a'}, "10.0.0.9", 7005);
  env_.network.Deliver(port, {'b'}, "10.0.0.9", 7005);
  env_.network.DeliverError(port, ReceiveError::kOther, ENETDOWN);
  EXPECT_TRUE(received_.empty());  // nothing runs before the loop does

  EXPECT_EQ(env_.backend.Pump(), 3);
  env_.network.SignalReadable(port);  // consumed by the one call it causes
  EXPECT_EQ(env_.backend.Pump(), 1);
  EXPECT_EQ(received_, (std::vector<std::string>{"a", "b", "error 3", "error 1"}));
  EXPECT_FALSE(env_.backend.pump_limit_hit());
}

TEST_F(PumpTest, CallbackMayCloseOrDestroyItsOwnSocket) {
  for (const bool destroy : {false, true}) {
    socket_ = env_.network.CreateUdpSocket();
    received_.clear();
    ASSERT_TRUE(socket_->Open());
    const uint16_t port = socket_->LocalPort();
    socket_->SetReadableCallback([this, destroy] {
      ReadOne();
      if (destroy) {
        socket_.reset();
      } else {
        socket_->Close();
      }
      // The captures are still usable: the loop runs a copy of the callback.
      received_.push_back(destroy ? "destroyed" : "closed");
    });
    env_.network.Deliver(port, {'a'}, "10.0.0.9", 7005);
    env_.network.Deliver(port, {'b'}, "10.0.0.9", 7005);
    EXPECT_EQ(env_.backend.Pump(), 1) << destroy;
    EXPECT_EQ(received_, (std::vector<std::string>{"a", destroy ? "destroyed" : "closed"}));
    EXPECT_FALSE(env_.network.IsPortOpen(port));
  }
}

TEST_F(PumpTest, CallbackThatNeverReadsCannotHangTheLoop) {
  ASSERT_TRUE(socket_->Open());
  int calls = 0;
  socket_->SetReadableCallback([&] { ++calls; });
  env_.network.Deliver(socket_->LocalPort(), {'a'}, "10.0.0.9", 7005);
  env_.backend.Pump();
  EXPECT_TRUE(env_.backend.pump_limit_hit());
  EXPECT_GT(calls, 1);
}

TEST_F(HeadlessWindowTest, WorkerNotificationsArriveThroughPumpUntil) {
  HeadlessWindow& w = Open();
  auto target = w.notification_target();
  const auto ui_thread = std::this_thread::get_id();
  std::atomic<int> handled{0};
  std::atomic<bool> all_on_ui_thread{true};
  events_.on_notification = [&](const Notification&) {
    if (std::this_thread::get_id() != ui_thread) all_on_ui_thread = false;
    ++handled;
  };
  std::atomic<bool> send_returned_after_handler{false};
  std::thread worker([&] {
    target->Send({0x403, 0, 0, ""});  // blocks until the UI thread has run it
    send_returned_after_handler = handled.load() == 1;
    target->Post({0x500, 0, 0, "line"});
  });
  const bool done = env_.backend.PumpUntil([&] { return handled.load() == 2; }, 5000);
  worker.join();
  EXPECT_TRUE(done);
  EXPECT_TRUE(all_on_ui_thread);
  EXPECT_TRUE(send_returned_after_handler);
  EXPECT_EQ(events_.log, (std::vector<std::string>{"notify 1027", "notify 1280line"}));
  EXPECT_FALSE(env_.backend.PumpUntil([] { return false; }, 20));  // gives up in real time
}

// --- Modal runs and message boxes ---

TEST_F(HeadlessWindowTest, ModalRunWithoutScriptEndsWithCancelAfterInit) {
  HeadlessWindow& w = Open();
  EXPECT_EQ(w.RunModal(), platform::kIdCancel);
  EXPECT_EQ(events_.log, (std::vector<std::string>{"init", "destroy"}));
  EXPECT_TRUE(w.destroyed());
  EXPECT_EQ(env_.backend.FindWindow(kTemplateId), nullptr);
  ASSERT_EQ(env_.backend.opened_windows().size(), 1u);
  EXPECT_EQ(env_.backend.opened_windows()[0].caption, "Small");
}

TEST_F(HeadlessWindowTest, ScriptDrivesTheRunAndMessageBoxesRunANestedLoop) {
  HeadlessWindow& w = Open();
  events_.on_command = [&](int id) {
    if (id == kGo) w.MessageBox("Camera changed IP Address");
    if (id == kDefault) w.EndDialog(platform::kIdOk);
  };
  std::vector<bool> click_taken_while_box_open;
  env_.backend.on_message_box = [&](const std::string&) {
    click_taken_while_box_open.push_back(w.Click(kGo));
    env_.backend.Pump();  // a posted notification is handled inside the box's loop
  };
  bool focus_given = false;
  env_.backend.SetModalScript(kTemplateId, [&](HeadlessWindow& running) {
    focus_given = running.FocusedControl() == kGo;  // first control that can take it
    running.SetTimer(7, 1000);
    running.notification_target()->Post({0x501, 0, 0, ""});
    EXPECT_TRUE(running.Click(kGo));
    EXPECT_TRUE(running.PressEnter());
    EXPECT_FALSE(running.Click(kGo));  // ended: the operator has nothing left to click
  });

  EXPECT_EQ(w.RunModal(), platform::kIdOk);
  EXPECT_TRUE(focus_given);
  EXPECT_EQ(click_taken_while_box_open, std::vector<bool>{false});
  EXPECT_EQ(env_.backend.message_boxes(), std::vector<std::string>{"Camera changed IP Address"});
  EXPECT_EQ(events_.log, (std::vector<std::string>{"init", "command 10", "notify 1281",
                                                   "command 13", "destroy"}));
  // Destroyed: timers dropped, notifications go nowhere.
  EXPECT_FALSE(w.TimerRunning(7));
  w.notification_target()->Post({0x501, 0, 0, ""});
  env_.backend.AdvanceTime(5000);
  EXPECT_EQ(events_.log.back(), "destroy");
}

TEST_F(HeadlessWindowTest, ParentKeepsItsTimersButTakesNoInputWhileAChildRuns) {
  constexpr int kChildTemplate = 501;
  HeadlessWindow& parent = Open();
  RecordingEvents child_events;
  auto child_template = SmallTemplate();
  child_template.id = kChildTemplate;
  events_.on_command = [&](int id) {
    if (id != kGo) return;
    auto child = env_.backend.CreateDialogWindow(child_template, child_events, &parent);
    child->RunModal();
  };
  env_.backend.SetModalScript(kChildTemplate, [&](HeadlessWindow& child) {
    EXPECT_EQ(env_.backend.FindWindow(kChildTemplate), &child);
    EXPECT_FALSE(parent.Click(kGo));
    env_.backend.AdvanceTime(250);  // the parent's timer still ticks under the child
    EXPECT_TRUE(child.PressEscape());
  });
  parent.SetTimer(3, 100);
  ASSERT_TRUE(parent.Click(kGo));
  EXPECT_EQ(events_.log, (std::vector<std::string>{"command 10", "timer 3", "timer 3"}));
  EXPECT_EQ(child_events.log, (std::vector<std::string>{"init", "command 2", "destroy"}));
  EXPECT_TRUE(parent.TakesInput());
  EXPECT_EQ(env_.backend.opened_windows().size(), 2u);
}

TEST(HeadlessBackend, MessageBoxWithoutWindowAndTextWindowsAreRecorded) {
  HeadlessEnvironment env;
  env.backend.MessageBox("Windows 소켓 초기화에 실패하였습니다.");
  EXPECT_EQ(env.backend.message_boxes(),
            std::vector<std::string>{"Windows 소켓 초기화에 실패하였습니다."});
  RecordingEvents events;
  auto window = env.backend.CreateDialogWindow(SmallTemplate(), events, nullptr);
  window->ShowTextWindow("ping", "reply\n");
  ASSERT_EQ(env.backend.text_windows().size(), 1u);
  EXPECT_EQ(env.backend.text_windows()[0].text, "reply\n");
}

TEST(FakeCommandInterpreter, RecordsCommandsAndAnswersAsScripted) {
  FakeCommandInterpreter shell;
  shell.SetResult("ping -c 4 10.0.0.5", {1, "unreachable\n"});
  std::vector<std::string> hooked;
  shell.on_run = [&](const std::string& line) { hooked.push_back(line); };
  EXPECT_EQ(shell.Run("ip neigh flush all").exit_status, 0);
  const auto ping = shell.Run("ping -c 4 10.0.0.5");
  EXPECT_EQ(ping.exit_status, 1);
  EXPECT_EQ(ping.output, "unreachable\n");
  EXPECT_EQ(shell.commands(),
            (std::vector<std::string>{"ip neigh flush all", "ping -c 4 10.0.0.5"}));
  EXPECT_EQ(hooked, shell.commands());
}

}  // namespace
}  // namespace ardvix::headless
