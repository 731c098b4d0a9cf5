// Stands in for the ping worker: records each job; the test decides the outcome and
// delivers it as the worker would (outcomes sent, then WM_PING_DONE posted).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "nettools/ping_messages.h"
#include "nettools/ping_worker.h"

namespace ardvix::testing {

class FakePingRunner : public nettools::PingJobRunner {
 public:
  struct Job {
    uint32_t count;
    std::string target;
    std::shared_ptr<platform::NotificationTarget> owner;
  };

  void StartJob(uint32_t count, const std::string& target,
                std::shared_ptr<platform::NotificationTarget> owner) override {
    jobs.push_back({count, target, std::move(owner)});
  }

  // Finishes the last job with the given outcome notifications, in order.
  void Finish(const std::vector<uint32_t>& outcomes) {
    auto owner = jobs.back().owner;
    for (uint32_t code : outcomes) owner->Send({code, 0, 0, {}});
    owner->Post({nettools::WM_PING_DONE, 0, 1, {}});
  }

  std::vector<Job> jobs;
};

}  // namespace ardvix::testing
