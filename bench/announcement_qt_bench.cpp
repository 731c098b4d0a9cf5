// One announcement handled by the discovery flow on the Qt window backend: the rows go into
// the real list widget and the log into the real (hidden) edit box. Runs on the offscreen
// platform unless QT_QPA_PLATFORM says otherwise.
#include <cstdlib>

#include "announcement_cases.h"
#include "platform/qt/qt_runtime.h"

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return ardvix::platform::RunWithQt(
      argc, argv, [&](ardvix::platform::UiBackend& ui, ardvix::platform::ReadinessWatcher&) {
        ardvix::bench::RegisterAnnouncementBenchmarks(ui, "Qt");
        return ardvix::bench::RunRegisteredBenchmarks(argc, argv);
      });
}
