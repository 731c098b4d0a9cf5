#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>

namespace ardvix::headless {

namespace {
// Far more than any flow needs; reaching it means a callback that never consumes its datagram.
constexpr int kPumpStepLimit = 100000;
}  // namespace

HeadlessBackend::HeadlessBackend(VirtualClock& clock, FakeUdpNetwork* network)
    : clock_(clock), network_(network) {
  if (network_) network_->SetWake([this] { Wake(); });
}

HeadlessBackend::~HeadlessBackend() {
  if (network_) network_->SetWake(nullptr);
}

std::unique_ptr<platform::Window> HeadlessBackend::CreateDialogWindow(
    const platform::DialogTemplate& tmpl, platform::WindowEvents& events,
    platform::Window* parent) {
  opened_windows_.push_back({tmpl.id, tmpl.caption});
  return std::make_unique<HeadlessWindow>(*this, tmpl, events, parent);
}

void HeadlessBackend::MessageBox(const std::string& utf8) {
  message_boxes_.push_back(utf8);
  ++open_boxes_;
  if (auto hook = on_message_box) hook(utf8);
  --open_boxes_;
}

void HeadlessBackend::RecordTextWindow(const std::string& title, const std::string& utf8) {
  text_windows_.push_back({title, utf8});
  ++open_boxes_;
  if (auto hook = on_text_window) hook(text_windows_.back());
  --open_boxes_;
}

void HeadlessBackend::SetModalScript(int template_id, std::function<void(HeadlessWindow&)> script) {
  scripts_[template_id] = std::move(script);
}

void HeadlessBackend::ClearModalScript(int template_id) { scripts_.erase(template_id); }

std::function<void(HeadlessWindow&)> HeadlessBackend::ModalScript(int template_id) const {
  auto it = scripts_.find(template_id);
  return it == scripts_.end() ? nullptr : it->second;
}

void HeadlessBackend::Register(HeadlessWindow* window) { windows_.push_back(window); }

void HeadlessBackend::Unregister(HeadlessWindow* window) {
  std::erase(windows_, window);
  std::erase(modal_stack_, window);
}

void HeadlessBackend::LeaveModal(HeadlessWindow* window) {
  auto it = std::find(modal_stack_.rbegin(), modal_stack_.rend(), window);
  if (it != modal_stack_.rend()) modal_stack_.erase(std::next(it).base());
}

std::vector<HeadlessWindow*> HeadlessBackend::LiveWindows() const {
  std::vector<HeadlessWindow*> live;
  for (auto* w : windows_) {
    if (!w->destroyed()) live.push_back(w);
  }
  return live;
}

HeadlessWindow* HeadlessBackend::FindWindow(int template_id) const {
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if (!(*it)->destroyed() && (*it)->tmpl().id == template_id) return *it;
  }
  return nullptr;
}

bool HeadlessBackend::DrainOneWindow() {
  for (auto* w : windows_) {
    if (w->destroyed() || !w->queue_->HasPending()) continue;
    // The handler may create or destroy windows: keep the queue, and rescan afterwards.
    auto queue = w->queue_;
    queue->Drain();
    return true;
  }
  return false;
}

int HeadlessBackend::Pump() {
  int ran = 0;
  while (ran < kPumpStepLimit) {
    if (DrainOneWindow() || (network_ && network_->DispatchOneReadable())) {
      ++ran;
      continue;
    }
    return ran;
  }
  pump_limit_hit_ = true;
  std::fprintf(stderr,
               "HeadlessBackend::Pump: stopped after %d steps; a readable callback that never "
               "receives its datagram?\n",
               kPumpStepLimit);
  return ran;
}

void HeadlessBackend::AdvanceTime(uint32_t ms) {
  const uint64_t target = clock_.NowMs() + ms;
  Pump();
  // Terminates: every firing moves the timer's due time at least 1 ms past the clock.
  for (;;) {
    HeadlessWindow* window = nullptr;
    int timer_id = 0;
    std::optional<std::pair<uint64_t, uint64_t>> earliest;
    for (auto* w : windows_) {
      int id = 0;
      const auto key = w->EarliestTimer(&id);
      if (key && (!earliest || *key < *earliest)) {
        earliest = key;
        window = w;
        timer_id = id;
      }
    }
    if (!earliest || earliest->first > target) break;
    clock_.AdvanceTo(earliest->first);
    window->FireTimer(timer_id);
    Pump();
  }
  clock_.AdvanceTo(target);
  Pump();
}

void HeadlessBackend::Wake() {
  {
    std::lock_guard lock(wake_mutex_);
    woken_ = true;
  }
  wake_cv_.notify_all();
}

bool HeadlessBackend::PumpUntil(const std::function<bool()>& done, int real_timeout_ms) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(real_timeout_ms);
  for (;;) {
    {
      std::lock_guard lock(wake_mutex_);
      woken_ = false;  // a wake-up from here on brings another round
    }
    Pump();
    if (done()) return true;
    std::unique_lock lock(wake_mutex_);
    if (!wake_cv_.wait_until(lock, deadline, [this] { return woken_; })) {
      lock.unlock();
      Pump();
      return done();
    }
  }
}

}  // namespace ardvix::headless
