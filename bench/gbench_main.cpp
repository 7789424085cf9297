// The benchmarks under Google Benchmark, on the in-memory registry: each unit of work on
// images of 200, 2,000 and 20,000 mount records, with its floor (the same registry calls
// played back) timed after it and reported as the counters floor_us and ratio.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "bench/bench_image.h"
#include "bench/bench_scenario.h"
#include "platform/twin/twin_registry.h"
#include "platform/twin/twin_system.h"

namespace {

void RunBenchmark(benchmark::State& state, BenchWork work, const char* osTag,
                  MountRecordStyle style) {
  platform::MemoryRegistry registry;
  platform::ScriptedSystem text;
  UsbHistoryOptions image;
  image.mountValues = static_cast<uint32_t>(state.range(0));
  image.style = style;
  std::string error;
  BenchScenario bench(work, osTag, registry, text);
  if (!LoadBenchImage(registry, image, SLOT_DEFINITIONS_FILE, false, error) ||
      !bench.Prepare(error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  using Clock = std::chrono::steady_clock;
  const auto workStart = Clock::now();
  for (auto _ : state) bench.Run();
  const double workSeconds = std::chrono::duration<double>(Clock::now() - workStart).count();

  const auto floorStart = Clock::now();
  for (benchmark::IterationCount i = 0; i < state.iterations(); ++i) bench.RunFloor();
  const double floorSeconds = std::chrono::duration<double>(Clock::now() - floorStart).count();
  const double runs = static_cast<double>(state.iterations());
  state.counters["floor_us"] = floorSeconds * 1e6 / runs;
  state.counters["calls"] = static_cast<double>(bench.RegistryCalls());
  state.counters["found"] = bench.SlotsFound();
  state.counters["ratio"] = workSeconds / floorSeconds;
}

void Register(BenchWork work, const char* osTag, MountRecordStyle style) {
  const std::string name = std::string(BenchWorkName(work)) + "/" + osTag;
  benchmark::RegisterBenchmark(name.c_str(), RunBenchmark, work, osTag, style)
      ->Arg(200)
      ->Arg(2000)
      ->Arg(20000)
      ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
  for (const char* os : {"WinXP", "WinVista", "Win98"}) {
    const MountRecordStyle style =
        std::string(os) == "WinVista" ? MountRecordStyle::kVista : MountRecordStyle::kXp;
    Register(BenchWork::kTavrikRefresh, os, style);
    Register(BenchWork::kLoscanRefresh, os, style);
    Register(BenchWork::kAssignDrive, os, style);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
