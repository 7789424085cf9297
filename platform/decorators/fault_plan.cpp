#include "platform/decorators/fault_plan.h"

namespace platform {

long FaultPlan::Check(Seam seam, const char* function, const std::string& path) {
  long error = 0;
  if (m_calls.size() + 1 == m_failAt) error = m_failError;
  for (const Rule& rule : m_rules)
    if (rule.function == function && path.find(rule.pathPart) != std::string::npos)
      error = rule.error;
  m_calls.push_back({seam, function, path, error});
  if (error != 0) m_anyFailed = true;
  return error;
}

}  // namespace platform
