// CPingWorker: the thread that runs ping jobs, and PingJobRunner, what a window holds to
// hand it jobs (flow tests substitute their own).
//
// Threads: StartJob from any thread (the UI thread in the program). The worker's own
// thread starts in the constructor and waits for jobs; the job slot holds one job, so a
// StartJob while a job runs makes that job run next, and two StartJob calls before the
// worker wakes run only the later one. Destruction cuts a running job short (its
// WM_PING_DONE still comes) and joins the thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "nettools/pinger.h"
#include "platform/icmp_socket.h"
#include "platform/window.h"

namespace ardvix::nettools {

class PingJobRunner {
 public:
  virtual ~PingJobRunner() = default;
  virtual void StartJob(uint32_t count, const std::string& target,
                        std::shared_ptr<platform::NotificationTarget> owner) = 0;
};

class CPingWorker : public PingJobRunner {
 public:
  explicit CPingWorker(PingEnvironment environment);
  ~CPingWorker() override;
  CPingWorker(const CPingWorker&) = delete;
  CPingWorker& operator=(const CPingWorker&) = delete;

  void StartJob(uint32_t count, const std::string& target,
                std::shared_ptr<platform::NotificationTarget> owner) override;

 private:
  struct Job {
    uint32_t count = 0;
    std::string target;
    std::shared_ptr<platform::NotificationTarget> owner;
  };

  void Run();

  // The stop event: seen between jobs through stop_requested_, and inside a job by the
  // engine's pause and wait.
  platform::StopEvent stop_event_;
  CPinger pinger_;

  std::mutex mutex_;  // guards the job slot and both events' flags
  std::condition_variable wake_;
  bool stop_requested_ = false;
  bool job_signalled_ = false;  // the job event, reset when the worker takes the job
  Job slot_;

  std::thread thread_;  // last, so everything above exists when it starts
};

}  // namespace ardvix::nettools
