// A notification target that runs a function on every notification, on the calling thread.
#pragma once

#include <functional>
#include <utility>

#include "platform/window.h"

namespace ardvix::testing {

class LambdaTarget : public platform::NotificationTarget {
 public:
  explicit LambdaTarget(std::function<void(const platform::Notification&)> f) : f_(std::move(f)) {}
  void Send(const platform::Notification& n) override { f_(n); }
  void Post(platform::Notification n) override { f_(n); }

 private:
  std::function<void(const platform::Notification&)> f_;
};

}  // namespace ardvix::testing
