#include "bench/registry_call_replay.h"

#include <algorithm>

using platform::RegKey;

RegistryCallReplay::RegistryCallReplay(platform::IRegistry& registry,
                                       const std::vector<RegistryCall>& calls, uint32_t keysOpened)
    : m_registry(registry), m_calls(calls), m_keys(keysOpened, 0) {
  uint32_t nameChars = 1;
  uint32_t dataBytes = 1;
  for (const RegistryCall& call : calls) {
    nameChars = std::max(nameChars, call.nameChars);
    dataBytes = std::max(dataBytes, call.dataBytes);
  }
  m_name.resize(nameChars);
  m_data.resize(dataBytes);
}

RegKey RegistryCallReplay::Live(RegKey key) const {
  if (key >= kOpenedKey && key - kOpenedKey < m_keys.size()) return m_keys[key - kOpenedKey];
  return key;
}

size_t RegistryCallReplay::Run() {
  size_t differing = 0;
  for (const RegistryCall& call : m_calls) {
    const RegKey key = Live(call.key);
    const char* name = call.nullName ? nullptr : call.name.c_str();
    uint32_t type = 0;
    uint32_t nameChars = call.nameChars;
    uint32_t dataBytes = call.dataBytes;
    long rc = 0;
    switch (call.op) {
      case RegistryCall::Op::kOpen:
        rc = m_registry.OpenKey(key, name, call.access, &m_keys[call.opened]);
        break;
      case RegistryCall::Op::kCreate:
        rc = m_registry.CreateKey(key, name, call.access, &m_keys[call.opened], nullptr);
        break;
      case RegistryCall::Op::kEnumKey:
        rc = m_registry.EnumKey(key, call.index, m_name.data(), &nameChars);
        break;
      case RegistryCall::Op::kEnumValue:
        rc = m_registry.EnumValue(
            key, call.index, m_name.data(), &nameChars, call.wantsType ? &type : nullptr,
            call.wantsData ? m_data.data() : nullptr, call.wantsSize ? &dataBytes : nullptr);
        break;
      case RegistryCall::Op::kQuery:
        rc = m_registry.QueryValue(key, name, call.wantsType ? &type : nullptr,
                                   call.wantsData ? m_data.data() : nullptr,
                                   call.wantsSize ? &dataBytes : nullptr);
        break;
      case RegistryCall::Op::kSet:
        rc = m_registry.SetValue(key, name, call.type, call.wantsData ? call.data.data() : nullptr,
                                 call.dataBytes);
        break;
      case RegistryCall::Op::kDeleteValue:
        rc = m_registry.DeleteValue(key, name);
        break;
      case RegistryCall::Op::kDeleteKey:
        rc = m_registry.DeleteKey(key, name);
        break;
      case RegistryCall::Op::kClose:
        rc = m_registry.CloseKey(key);
        break;
    }
    if (rc != call.result) ++differing;
  }
  return differing;
}
