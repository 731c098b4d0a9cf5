// One announcement handled by the discovery flow on the headless window backend.
#include "announcement_cases.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/virtual_clock.h"

int main(int argc, char** argv) {
  ardvix::headless::VirtualClock clock;
  ardvix::headless::HeadlessBackend ui(clock);
  ardvix::bench::RegisterAnnouncementBenchmarks(ui, "Headless");
  return ardvix::bench::RunRegisteredBenchmarks(argc, argv);
}
