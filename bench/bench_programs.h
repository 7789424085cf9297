// The program work each benchmark times, built over a given registry: Tavrik's tray-click
// refresh, Loscan's refresh of a selected model, and one drive-letter assignment. Every
// other seam is an in-memory twin, so only the registry differs between backends.
#pragma once
#include <memory>
#include <string>

#include "platform/registry.h"
#include "platform/system.h"

// The two refreshes read each key and value their lookups need once, into the finder's index.
enum class BenchWork { kTavrikRefresh, kLoscanRefresh, kAssignDrive };

class BenchProgram {
 public:
  virtual ~BenchProgram() = default;
  // The one unit of work timed: it re-reads the registry from scratch every time.
  virtual void Run() = 0;
  // Slots the last run found with a letter; -1 for work that finds nothing.
  virtual int SlotsFound() const { return -1; }
};

// Builds the program for a system version tag ("WinXP", "WinVista", "Win98") and runs its
// start-up; null with error set when that fails.
std::unique_ptr<BenchProgram> MakeBenchProgram(BenchWork work, const char* osTag,
                                               platform::IRegistry& registry,
                                               platform::ISystem& text, std::string& error);

// "Tavrik RefreshSlots", "Loscan Refresh", "AssignDrive".
const char* BenchWorkName(BenchWork work);
