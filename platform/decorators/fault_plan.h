// Which calls through the seams fail, for the fault-injection campaign: the k-th call that
// can fail, or every call of a function on a path. The seams that consult a plan are the
// fault-injecting decorators (fault_injecting_seams.h); nothing else pays for it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class Seam { kRegistry, kFiles, kShell, kVolume, kProcesses };

class FaultPlan {
 public:
  // One call that could have failed, as the plan saw it.
  struct Call {
    Seam seam;
    std::string function;  // "SetValue", "WriteNewFile", "NotifyIcon:add", "Lock", ...
    std::string path;      // what it was about: key path and value name, file path, ...
    long failedWith = 0;   // 0 when it went through
  };

  // The count-th call (from 1) fails with error.
  void FailCall(uint64_t count, long error) {
    m_failAt = count;
    m_failError = error;
  }
  // Every call of function whose path contains pathPart fails with error.
  void FailMatching(const std::string& function, const std::string& pathPart, long error) {
    m_rules.push_back({function, pathPart, error});
  }

  // Asked at every call that can fail: 0 to let it through, else the error it returns.
  long Check(Seam seam, const char* function, const std::string& path);

  uint64_t Calls() const { return m_calls.size(); }
  const std::vector<Call>& Log() const { return m_calls; }
  // Whether some call failed.
  bool AnyFailed() const { return m_anyFailed; }

 private:
  struct Rule {
    std::string function;
    std::string pathPart;
    long error;
  };
  uint64_t m_failAt = 0;
  long m_failError = 0;
  std::vector<Rule> m_rules;
  std::vector<Call> m_calls;
  bool m_anyFailed = false;
};

}  // namespace platform
