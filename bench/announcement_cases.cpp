#include "announcement_cases.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>

#include "announcement_harness.h"

namespace ardvix::bench {

namespace {

constexpr int kListSizes[] = {10, 1000, 10000};

void NewDevice(benchmark::State& state, platform::UiBackend* ui) {
  const int rows = static_cast<int>(state.range(0));
  const int growth = std::max(rows / 10, 16);
  AnnouncementHarness harness(*ui);
  harness.FillTo(rows);
  for (auto _ : state) {
    if (harness.RowCount() >= rows + growth) {
      state.PauseTiming();
      harness.FillTo(rows);
      state.ResumeTiming();
    }
    harness.HandleNewDevice();
  }
  state.counters["rows"] = harness.RowCount();
}

void ListedDevice(benchmark::State& state, platform::UiBackend* ui) {
  const int rows = static_cast<int>(state.range(0));
  AnnouncementHarness harness(*ui);
  harness.FillTo(rows);
  for (auto _ : state) harness.HandleListedDevice(rows - 1);
  if (harness.RowCount() != rows) state.SkipWithError("a listed device was added again");
}

}  // namespace

void RegisterAnnouncementBenchmarks(platform::UiBackend& ui, const char* backend_name) {
  const std::string prefix(backend_name);
  auto* new_device = benchmark::RegisterBenchmark((prefix + "/NewDevice").c_str(), NewDevice, &ui);
  auto* listed =
      benchmark::RegisterBenchmark((prefix + "/ListedDevice").c_str(), ListedDevice, &ui);
  for (const int rows : kListSizes) {
    new_device->Arg(rows);
    listed->Arg(rows);
  }
  new_device->Unit(benchmark::kMicrosecond);
  listed->Unit(benchmark::kMicrosecond);
}

int RunRegisteredBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace ardvix::bench
