#include "bench/recording_registry.h"

using platform::RegKey;

void RecordingRegistry::Start() {
  m_calls.clear();
  m_live.clear();
  m_nextOpened = 0;
  m_recording = true;
}

RegKey RecordingRegistry::Symbolic(RegKey key) const {
  if (platform::IsPredefinedKey(key)) return key;
  for (auto it = m_live.rbegin(); it != m_live.rend(); ++it)
    if (it->first == key) return it->second;
  return key;  // opened before the recording: played back as it is
}

RegistryCall& RecordingRegistry::Add(RegistryCall::Op op, RegKey key, const char* name) {
  RegistryCall call;
  call.op = op;
  call.key = Symbolic(key);
  call.nullName = name == nullptr;
  if (name != nullptr) call.name = name;
  m_calls.push_back(std::move(call));
  return m_calls.back();
}

long RecordingRegistry::NoteOpened(RegistryCall::Op op, RegKey parent, const char* subKey,
                                   uint32_t access, long rc, RegKey* result) {
  if (!m_recording || result == nullptr) return rc;
  RegistryCall& call = Add(op, parent, subKey);
  call.access = access;
  call.result = rc;
  call.opened = m_nextOpened++;
  if (rc == platform::kErrorSuccess && !platform::IsPredefinedKey(*result))
    m_live.emplace_back(*result, kOpenedKey + call.opened);
  return rc;
}

long RecordingRegistry::NoteRead(RegistryCall& call, uint32_t bytes, const uint32_t* type,
                                 const uint8_t* data, const uint32_t* dataBytes, long rc) {
  call.dataBytes = bytes;
  call.wantsType = type != nullptr;
  call.wantsData = data != nullptr;
  call.wantsSize = dataBytes != nullptr;
  call.result = rc;
  return rc;
}

long RecordingRegistry::OpenKey(RegKey parent, const char* subKey, uint32_t access,
                                RegKey* result) {
  return NoteOpened(RegistryCall::Op::kOpen, parent, subKey, access,
                    m_inner.OpenKey(parent, subKey, access, result), result);
}

long RecordingRegistry::CreateKey(RegKey parent, const char* subKey, uint32_t access,
                                  RegKey* result, uint32_t* disposition) {
  return NoteOpened(RegistryCall::Op::kCreate, parent, subKey, access,
                    m_inner.CreateKey(parent, subKey, access, result, disposition), result);
}

long RecordingRegistry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameChars) {
  const uint32_t chars = nameChars != nullptr ? *nameChars : 0;
  long rc = m_inner.EnumKey(key, index, name, nameChars);
  if (!m_recording) return rc;
  RegistryCall& call = Add(RegistryCall::Op::kEnumKey, key, nullptr);
  call.index = index;
  call.nameChars = chars;
  call.result = rc;
  return rc;
}

long RecordingRegistry::EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameChars,
                                  uint32_t* type, uint8_t* data, uint32_t* dataBytes) {
  const uint32_t chars = nameChars != nullptr ? *nameChars : 0;
  const uint32_t bytes = dataBytes != nullptr ? *dataBytes : 0;
  long rc = m_inner.EnumValue(key, index, name, nameChars, type, data, dataBytes);
  if (!m_recording) return rc;
  RegistryCall& call = Add(RegistryCall::Op::kEnumValue, key, nullptr);
  call.index = index;
  call.nameChars = chars;
  return NoteRead(call, bytes, type, data, dataBytes, rc);
}

long RecordingRegistry::QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                                   uint32_t* dataBytes) {
  const uint32_t bytes = dataBytes != nullptr ? *dataBytes : 0;
  long rc = m_inner.QueryValue(key, name, type, data, dataBytes);
  if (!m_recording) return rc;
  return NoteRead(Add(RegistryCall::Op::kQuery, key, name), bytes, type, data, dataBytes, rc);
}

long RecordingRegistry::SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                                 uint32_t dataBytes) {
  long rc = m_inner.SetValue(key, name, type, data, dataBytes);
  if (!m_recording) return rc;
  RegistryCall& call = Add(RegistryCall::Op::kSet, key, name);
  call.type = type;
  // One zero byte more: the twin, like NT, looks one byte past a string's size for its NUL.
  if (data != nullptr) {
    call.data.assign(data, data + dataBytes);
    call.data.push_back(0);
  }
  call.wantsData = data != nullptr;
  call.dataBytes = dataBytes;
  call.result = rc;
  return rc;
}

long RecordingRegistry::DeleteValue(RegKey key, const char* name) {
  long rc = m_inner.DeleteValue(key, name);
  if (m_recording) Add(RegistryCall::Op::kDeleteValue, key, name).result = rc;
  return rc;
}

long RecordingRegistry::DeleteKey(RegKey parent, const char* subKey) {
  long rc = m_inner.DeleteKey(parent, subKey);
  if (m_recording) Add(RegistryCall::Op::kDeleteKey, parent, subKey).result = rc;
  return rc;
}

long RecordingRegistry::CloseKey(RegKey key) {
  if (m_recording) {
    RegistryCall& call = Add(RegistryCall::Op::kClose, key, nullptr);
    for (auto it = m_live.rbegin(); it != m_live.rend(); ++it)
      if (it->first == key) {
        m_live.erase(std::next(it).base());
        break;
      }
    call.result = m_inner.CloseKey(key);
    return call.result;
  }
  return m_inner.CloseKey(key);
}
