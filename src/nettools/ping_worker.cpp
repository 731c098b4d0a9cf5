#include "nettools/ping_worker.h"

#include <utility>

namespace ardvix::nettools {

CPingWorker::CPingWorker(PingEnvironment environment)
    : pinger_(environment, stop_event_), thread_([this] { Run(); }) {}

CPingWorker::~CPingWorker() {
  {
    std::lock_guard lock(mutex_);
    stop_requested_ = true;
  }
  wake_.notify_all();
  stop_event_.Signal();
  thread_.join();
}

void CPingWorker::StartJob(uint32_t count, const std::string& target,
                           std::shared_ptr<platform::NotificationTarget> owner) {
  {
    std::lock_guard lock(mutex_);
    slot_.count = count;
    slot_.target = target;
    slot_.owner = std::move(owner);
    job_signalled_ = true;
  }
  wake_.notify_all();
}

void CPingWorker::Run() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stop_requested_ || job_signalled_; });
      if (stop_requested_) return;  // looked at first when both are signalled
      job_signalled_ = false;
      job = slot_;  // a private copy: a later StartJob cannot change it under the job
    }
    pinger_.Ping(job.count, job.target, std::move(job.owner));
  }
}

}  // namespace ardvix::nettools
