// Playing recorded registry calls again: exactly the registry calls of the recorded run with
// none of the work the caller did between them, the cost floor of that run.
#pragma once
#include <vector>

#include "bench/recording_registry.h"

// Makes the recorded calls again, in order, on the same kind of buffers, keeping nothing of
// what they return. Returns the number of calls whose result differed from the recording.
class RegistryCallReplay {
 public:
  RegistryCallReplay(platform::IRegistry& registry, const std::vector<RegistryCall>& calls,
                     uint32_t keysOpened);
  size_t Run();

 private:
  platform::RegKey Live(platform::RegKey key) const;

  platform::IRegistry& m_registry;
  const std::vector<RegistryCall>& m_calls;
  std::vector<platform::RegKey> m_keys;
  std::vector<char> m_name;
  std::vector<uint8_t> m_data;
};
