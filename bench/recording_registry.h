// A registry decorator that passes every call on and writes down what was asked: the call, its
// key (as the n-th key opened, so the sequence can be played again on fresh handles), names,
// buffer sizes, data set and the result, so the run's registry calls can be played again
// without the caller's work between them (registry_call_replay.h).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

struct RegistryCall {
  enum class Op {
    kOpen,
    kCreate,
    kEnumKey,
    kEnumValue,
    kQuery,
    kSet,
    kDeleteValue,
    kDeleteKey,
    kClose
  };
  Op op = Op::kOpen;
  // A predefined root, or kOpenedKey + the index of the key in the order it was opened.
  platform::RegKey key = 0;
  uint32_t opened = 0;  // for kOpen and kCreate: the index the new key gets
  std::string name;     // sub key or value name
  bool nullName = false;
  uint32_t access = 0;
  uint32_t index = 0;
  uint32_t nameChars = 0;  // buffer sizes as passed in
  uint32_t dataBytes = 0;
  bool wantsType = false;
  bool wantsData = false;
  bool wantsSize = false;
  uint32_t type = 0;
  std::vector<uint8_t> data;  // kSet
  long result = 0;
};

// Keys opened during the recording are named by this plus their index.
constexpr platform::RegKey kOpenedKey = 0x10000000u;

class RecordingRegistry : public platform::IRegistry {
 public:
  explicit RecordingRegistry(platform::IRegistry& inner) : m_inner(inner) {}

  // Records from now on (starting a new record), or stops.
  void Start();
  void Stop() { m_recording = false; }
  const std::vector<RegistryCall>& Calls() const { return m_calls; }
  uint32_t KeysOpened() const { return m_nextOpened; }

  long OpenKey(platform::RegKey parent, const char* subKey, uint32_t access,
               platform::RegKey* result) override;
  long CreateKey(platform::RegKey parent, const char* subKey, uint32_t access,
                 platform::RegKey* result, uint32_t* disposition) override;
  long EnumKey(platform::RegKey key, uint32_t index, char* name, uint32_t* nameChars) override;
  long EnumValue(platform::RegKey key, uint32_t index, char* name, uint32_t* nameChars,
                 uint32_t* type, uint8_t* data, uint32_t* dataBytes) override;
  long QueryValue(platform::RegKey key, const char* name, uint32_t* type, uint8_t* data,
                  uint32_t* dataBytes) override;
  long SetValue(platform::RegKey key, const char* name, uint32_t type, const uint8_t* data,
                uint32_t dataBytes) override;
  long DeleteValue(platform::RegKey key, const char* name) override;
  long DeleteKey(platform::RegKey parent, const char* subKey) override;
  long CloseKey(platform::RegKey key) override;

 private:
  RegistryCall& Add(RegistryCall::Op op, platform::RegKey key, const char* name);
  platform::RegKey Symbolic(platform::RegKey key) const;
  // Completes the record of a value read: the data size passed in and which outputs it asked for.
  long NoteRead(RegistryCall& call, uint32_t bytes, const uint32_t* type, const uint8_t* data,
                const uint32_t* dataBytes, long rc);
  // Records an open or create that returned rc; the new key gets the next index.
  long NoteOpened(RegistryCall::Op op, platform::RegKey parent, const char* subKey, uint32_t access,
                  long rc, platform::RegKey* result);

  platform::IRegistry& m_inner;
  bool m_recording = false;
  std::vector<RegistryCall> m_calls;
  // Live handle -> symbolic name, for the keys opened while recording.
  std::vector<std::pair<platform::RegKey, platform::RegKey>> m_live;
  uint32_t m_nextOpened = 0;
};
