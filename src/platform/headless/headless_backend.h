// The deterministic backend that flow tests drive: windows without a display, a virtual
// clock, fake sockets, and an event loop that runs only when the test says so (Pump,
// AdvanceTime, PumpUntil). Message boxes are recorded and answered with OK at once.
//
// Threads: everything on the UI thread (the test's thread), except Wake, which the
// notification queues and the fake network call from any thread.
// Lifetime: the backend outlives its windows; the clock and the network outlive the backend.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/headless/fake_udp_network.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/virtual_clock.h"
#include "platform/window.h"

namespace ardvix::headless {

struct OpenedWindow {
  int template_id = 0;
  std::string caption;
};

struct TextWindowRecord {
  std::string title;
  std::string text;
};

class HeadlessBackend : public platform::UiBackend {
 public:
  // network may be null when no test needs sockets.
  explicit HeadlessBackend(VirtualClock& clock, FakeUdpNetwork* network = nullptr);
  ~HeadlessBackend() override;
  HeadlessBackend(const HeadlessBackend&) = delete;
  HeadlessBackend& operator=(const HeadlessBackend&) = delete;

  std::unique_ptr<platform::Window> CreateDialogWindow(const platform::DialogTemplate& tmpl,
                                                       platform::WindowEvents& events,
                                                       platform::Window* parent) override;
  void MessageBox(const std::string& utf8) override;

  // What drives a modal run of every window built from this template.
  void SetModalScript(int template_id, std::function<void(HeadlessWindow&)> script);
  void ClearModalScript(int template_id);

  // Runs what the event loop would run, until nothing is left: the notifications of every
  // live window, then one readable callback per waiting datagram, failure or readiness
  // report of the fake sockets. Bounded, so a callback that never reads cannot hang a test:
  // hitting the bound sets pump_limit_hit() and says so on stderr. Returns the items run.
  int Pump();
  // Moves the clock forward by ms, firing the due timers of live windows in due-time order,
  // each at its own due time (a repeating timer keeps firing), pumping after each tick.
  // A timer already overdue (the clock jumped in a sleep) fires once, at the current time.
  void AdvanceTime(uint32_t ms);
  // For a real worker thread: pumps, waiting for the queues' and the network's wake-ups,
  // until done() (checked on this thread) or real_timeout_ms of real time. Returns done().
  bool PumpUntil(const std::function<bool()>& done, int real_timeout_ms);
  // Something was queued (any thread).
  void Wake();

  // Records.
  const std::vector<std::string>& message_boxes() const { return message_boxes_; }
  const std::vector<TextWindowRecord>& text_windows() const { return text_windows_; }
  const std::vector<OpenedWindow>& opened_windows() const { return opened_windows_; }
  std::vector<HeadlessWindow*> LiveWindows() const;
  // The most recently created live window of that template, or null.
  HeadlessWindow* FindWindow(int template_id) const;
  bool pump_limit_hit() const { return pump_limit_hit_; }
  VirtualClock& clock() { return clock_; }

  // Called while a message box is open (after it is recorded); it then closes with OK.
  std::function<void(const std::string& text)> on_message_box;
  // Called while a text window is open; it then closes.
  std::function<void(const TextWindowRecord& window)> on_text_window;

 private:
  friend class HeadlessWindow;

  // Window side.
  void Register(HeadlessWindow* window);
  void Unregister(HeadlessWindow* window);
  void EnterModal(HeadlessWindow* window) { modal_stack_.push_back(window); }
  void LeaveModal(HeadlessWindow* window);
  std::function<void(HeadlessWindow&)> ModalScript(int template_id) const;
  bool AnyBoxOpen() const { return open_boxes_ > 0; }
  HeadlessWindow* TopModal() const { return modal_stack_.empty() ? nullptr : modal_stack_.back(); }
  uint64_t NextTimerOrder() { return ++timer_order_; }
  void RecordTextWindow(const std::string& title, const std::string& utf8);

  bool DrainOneWindow();

  VirtualClock& clock_;
  FakeUdpNetwork* network_;
  std::vector<HeadlessWindow*> windows_;  // alive, in creation order
  std::vector<HeadlessWindow*> modal_stack_;
  std::map<int, std::function<void(HeadlessWindow&)>> scripts_;
  std::vector<std::string> message_boxes_;
  std::vector<TextWindowRecord> text_windows_;
  std::vector<OpenedWindow> opened_windows_;
  int open_boxes_ = 0;
  uint64_t timer_order_ = 0;
  bool pump_limit_hit_ = false;

  std::mutex wake_mutex_;
  std::condition_variable wake_cv_;
  bool woken_ = false;
};

}  // namespace ardvix::headless
