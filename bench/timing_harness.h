// A small timing harness, for the places Google Benchmark does not reach (the Windows build)
// and for the quick check: the work and its floor timed in alternating batches, the best
// batch of each kept, so a busy machine slows both alike and inflates neither.
#pragma once
#include <cstdint>
#include <functional>

struct PairTiming {
  double workNs = 0;   // best time of one unit of work
  double floorNs = 0;  // best time of one floor run
  uint64_t runs = 0;   // units of work timed in all
};

PairTiming TimeAgainstFloor(const std::function<void()>& work, const std::function<void()>& floor,
                            double minSeconds);
