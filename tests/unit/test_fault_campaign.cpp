#include "tests/unit/test_fault_campaign.h"

#include <set>

#include "platform/text/mbcs_text.h"
#include "platform/win32_codes.h"

namespace {

constexpr long kCoClassNotRegistered = static_cast<long>(0x80040154);  // REGDB_E_CLASSNOTREG

const char* RootName(platform::RegKey root) {
  switch (root) {
    case platform::kHkeyClassesRoot: return "HKCR";
    case platform::kHkeyCurrentUser: return "HKCU";
    case platform::kHkeyLocalMachine: return "HKLM";
    case platform::kHkeyDynData: return "HKDD";
    default: return "HKU";
  }
}

std::string Join(const char* root, const std::string& path, const std::string& name) {
  std::string full = root;
  if (!path.empty()) full += "\\" + path;
  return MbcsUpper(full + "\\" + name);
}

// An emptied "BackData" is no backup by the programs' own rule, so one left behind when its
// deletion failed is no work left undone and nothing kept.
bool IsEmptiedBackup(const platform::MemoryRegistry::ValueImage& value) {
  return MbcsUpper(value.name) == "BACKDATA" && value.type == platform::kRegSz &&
         (value.data.empty() || value.data[0] == 0);
}

using ValueMap = std::map<std::string, platform::MemoryRegistry::ValueImage>;

// Every value of an image by its full name: what a program's work leaves, whatever empty keys
// stay behind.
ValueMap Values(const RegistryImage& image) {
  ValueMap values;
  for (const auto& root : image)
    for (const auto& key : root.second)
      for (const auto& value : key.values)
        if (!IsEmptiedBackup(value))
          values[Join(RootName(root.first), key.path, value.name)] = value;
  return values;
}

// The values of before that are missing from after or hold other data.
std::vector<std::string> LostValues(const RegistryImage& before, const RegistryImage& after,
                                    const std::function<bool(const std::string&)>& mayChange) {
  const ValueMap kept = Values(after);
  std::vector<std::string> lost;
  for (const auto& value : Values(before)) {
    auto found = kept.find(value.first);
    if ((found == kept.end() || !(found->second == value.second)) && !mayChange(value.first))
      lost.push_back(value.first);
  }
  return lost;
}

bool Allowed(const std::string& path, const std::vector<std::string>& prefixes) {
  const std::string upper = MbcsUpper(path);
  for (const std::string& prefix : prefixes)
    if (upper.compare(0, prefix.size(), prefix) == 0) return true;
  return false;
}

bool IsRead(const platform::FaultPlan::Call& call) {
  return call.function == "OpenKey" || call.function == "QueryValue" ||
         call.function == "EnumKey" || call.function == "EnumValue";
}

// A read told that its key or value is not there: the program rightly takes it as absent.
bool SaysAbsent(const platform::FaultPlan::Call& call) {
  return IsRead(call) && platform::IsAbsentStatus(call.failedWith);
}

// A read told that its value is longer than the buffer: the program rightly takes it as not
// its own value (a short one of its own never gets that answer outside this campaign).
bool SaysTooLong(const platform::FaultPlan::Call& call) {
  return IsRead(call) && call.failedWith == platform::kErrorMoreData;
}

std::string Describe(const platform::FaultPlan::Call& call, uint64_t k) {
  return "call " + std::to_string(k) + " " + call.function + " " + call.path + " failing with " +
         std::to_string(call.failedWith);
}

}  // namespace

std::vector<long> ErrorsFor(const platform::FaultPlan::Call& call) {
  using platform::Seam;
  const std::string& f = call.function;
  switch (call.seam) {
    case Seam::kRegistry: {
      std::vector<long> errors = {platform::kErrorAccessDenied, platform::kErrorFileNotFound,
                                  platform::kErrorKeyDeleted, platform::kErrorOutOfMemory};
      if (f == "QueryValue" || f == "EnumValue" || f == "EnumKey")
        errors.push_back(platform::kErrorMoreData);
      return errors;
    }
    case Seam::kFiles:
      if (f == "WriteNewFile")
        return {platform::kErrorDiskFull, platform::kErrorSharingViolation,
                platform::kErrorPathNotFound};
      if (f == "DeleteFileA" || f == "MoveFileA")
        return {platform::kErrorSharingViolation, platform::kErrorPathNotFound};
      return {platform::kErrorPathNotFound};
    case Seam::kShell:
      return {f == "CreateShortcut" ? kCoClassNotRegistered : platform::kErrorAccessDenied};
    case Seam::kVolume:
    case Seam::kProcesses:
      return {platform::kErrorAccessDenied};
  }
  return {};
}

FaultCampaignResult RunFaultCampaign(const FaultScenario& scenario, uint64_t sampleEvery) {
  FaultCampaignResult result;
  result.scenario = scenario.name;
  platform::FaultPlan counting;
  FaultOutcome clean;
  scenario.run(counting, clean);
  result.calls = counting.Calls();
  const std::vector<platform::FaultPlan::Call> calls = counting.Log();
  std::set<long> tried;

  const auto cleanValues = Values(clean.done);
  // A read told that a key or value is not there stands for another program that deleted it:
  // what goes with it is not the program's loss, nor is doing less then a failure.
  auto check = [&](const FaultOutcome& outcome, const std::string& what, bool absent,
                   bool tooLong) {
    if (!absent)
      for (const std::string& name :
           LostValues(outcome.before, outcome.recovered, scenario.mayChange))
        result.breaks.push_back("(b) lost " + name + " after " + what);
    if (outcome.successReported && Values(outcome.done) != cleanValues && !absent && !tooLong)
      result.breaks.push_back("(c) success reported after " + what);
    for (const std::string& path : outcome.registryChanges)
      if (!Allowed(path, scenario.registryAllowed))
        result.breaks.push_back("(d) wrote " + path + " after " + what);
    for (const std::string& path : outcome.fileChanges)
      if (!Allowed(path, scenario.filesAllowed))
        result.breaks.push_back("(d) wrote " + path + " after " + what);
  };
  check(clean, "no fault", false, false);

  const uint64_t step = sampleEvery == 0 ? 1 : sampleEvery;
  for (uint64_t k = 1; k <= calls.size(); k += step) {
    for (long error : ErrorsFor(calls[k - 1])) {
      tried.insert(error);
      platform::FaultPlan plan;
      plan.FailCall(k, error);
      FaultOutcome outcome;
      scenario.run(plan, outcome);
      ++result.runs;
      // The run may take another way after the failure; what failed is in its own log.
      platform::FaultPlan::Call failed = calls[k - 1];
      if (k <= plan.Log().size()) failed = plan.Log()[k - 1];
      check(outcome, Describe(failed, k), SaysAbsent(failed), SaysTooLong(failed));
    }
  }
  result.errors = static_cast<int>(tried.size());
  return result;
}
