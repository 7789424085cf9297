#include "bench/timing_harness.h"

#include <algorithm>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Nanoseconds per run over a batch.
double TimeBatch(const std::function<void()>& run, uint64_t batch) {
  const Clock::time_point start = Clock::now();
  for (uint64_t i = 0; i < batch; ++i) run();
  return SecondsSince(start) * 1e9 / static_cast<double>(batch);
}

}  // namespace

PairTiming TimeAgainstFloor(const std::function<void()>& work, const std::function<void()>& floor,
                            double minSeconds) {
  PairTiming timing;
  // Batches of about 2 ms keep the clock's resolution out of the result.
  const double once = TimeBatch(work, 1);
  const uint64_t batch = std::max<uint64_t>(1, static_cast<uint64_t>(2e6 / std::max(once, 1.0)));
  timing.workNs = once;
  timing.floorNs = TimeBatch(floor, 1);
  timing.runs = 1;
  const Clock::time_point start = Clock::now();
  for (int round = 0; round < 3 || SecondsSince(start) < minSeconds; ++round) {
    timing.workNs = std::min(timing.workNs, TimeBatch(work, batch));
    timing.floorNs = std::min(timing.floorNs, TimeBatch(floor, batch));
    timing.runs += batch;
  }
  return timing;
}
