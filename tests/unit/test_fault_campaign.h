// The fault-injection campaign: each scenario runs once to count the calls that can fail, then
// once more per call and per error that call really returns, with that call failing. After
// every run the invariants are checked: nothing that existed before is lost once the program
// has recovered, no success is reported after a failed write, and nothing is written outside
// the keys and folders the scenario's program owns. (A crash or a sanitizer report ends the
// test program itself; the campaign runs in the sanitizer build too.)
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/decorators/fault_plan.h"
#include "platform/twin/twin_registry.h"

using RegistryImage = std::map<platform::RegKey, std::vector<platform::MemoryRegistry::KeyImage>>;

// What one run of a scenario leaves for the checks.
struct FaultOutcome {
  RegistryImage before;     // when the scenario began
  RegistryImage done;       // right after the run, faulty or not
  RegistryImage recovered;  // after the program's own recovery (a fault-free start and exit)
  std::vector<std::string> registryChanges;  // upper-cased "ROOT\PATH[\VALUE]"
  std::vector<std::string> fileChanges;
  bool successReported = false;  // the program told the user its work was done
};

struct FaultScenario {
  std::string name;
  // Runs the scenario on a fresh machine with the plan in front of its seams.
  std::function<void(platform::FaultPlan&, FaultOutcome&)> run;
  // Upper-cased prefixes of the registry paths and the files the program may change.
  std::vector<std::string> registryAllowed;
  std::vector<std::string> filesAllowed;
  // Values whose change is the scenario's purpose ("ROOT\PATH\VALUE" upper-cased).
  std::function<bool(const std::string&)> mayChange = [](const std::string&) { return false; };
};

struct FaultCampaignResult {
  std::string scenario;
  uint64_t calls = 0;
  int errors = 0;  // distinct errors tried
  int runs = 0;
  std::vector<std::string> breaks;  // one line per invariant broken, with the failed call
};

// Runs every call's failures, or with sampleEvery > 1 every sampleEvery-th call only.
FaultCampaignResult RunFaultCampaign(const FaultScenario& scenario, uint64_t sampleEvery);

// The errors a failing call of a seam's function really returns.
std::vector<long> ErrorsFor(const platform::FaultPlan::Call& call);
