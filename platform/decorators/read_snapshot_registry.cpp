#include "platform/decorators/read_snapshot_registry.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

// Buffers larger than this are not remembered: the programs' own are 260 or 512 bytes, and a
// call that asks for more simply goes to the real registry every time.
constexpr uint32_t kLargestRememberedBuffer = 64 * 1024;
// An enumeration index this far past the last one asked is not remembered either.
constexpr uint32_t kLargestIndexStep = 4096;

// Which of the optional outputs a value read asks for.
constexpr uint8_t kWantsType = 1;
constexpr uint8_t kWantsData = 2;
constexpr uint8_t kWantsSize = 4;

uint8_t Outputs(const uint32_t* type, const uint8_t* data, const uint32_t* dataBytes) {
  return static_cast<uint8_t>((type ? kWantsType : 0) | (data ? kWantsData : 0) |
                              (dataBytes ? kWantsSize : 0));
}

// The length of the part of a buffer a call wrote: at least what the call documents, and up
// to the last byte it changed. A byte written again with the value it already held cannot be
// told from one left alone; outside the documented result, such a byte is taken as left alone.
size_t WrittenLength(const std::string& before, const void* after, size_t documented) {
  const auto* bytes = static_cast<const char*>(after);
  size_t end = std::min(documented, before.size());
  // Usually nothing beyond the documented result changed: one comparison says so.
  if (std::memcmp(before.data() + end, bytes + end, before.size() - end) != 0) {
    for (size_t i = before.size(); i > end; --i)
      if (before[i - 1] != bytes[i - 1]) {
        end = i;
        break;
      }
  }
  return end;
}

// The caller's outputs of one read; those a call does not have stay null.
struct ReadOutputs {
  char* name = nullptr;
  uint32_t* nameChars = nullptr;
  uint32_t* type = nullptr;
  uint8_t* data = nullptr;
  uint32_t* dataBytes = nullptr;
};

// Where a snapshot keeps the bytes its answers wrote (one store, not an allocation per
// answer), and the copies of a caller's buffers taken before a call.
struct AnswerBytes {
  std::string store;
  std::string nameBefore;
  std::string dataBefore;

  // Keeps the written part of a buffer; returns where it starts in the store.
  uint32_t Keep(const void* buffer, size_t length) {
    const auto at = static_cast<uint32_t>(store.size());
    store.append(static_cast<const char*>(buffer), length);
    return at;
  }
};

void CopyBefore(std::string& copy, const void* buffer, uint32_t bytes) {
  if (buffer != nullptr)
    copy.assign(static_cast<const char*>(buffer), bytes);
  else
    copy.clear();
}

// What one call answered: result, outputs, and the bytes it wrote into the buffers.
struct Answer {
  bool known = false;
  long rc = 0;
  uint32_t nameChars = 0;
  uint32_t type = 0;
  uint32_t dataBytes = 0;
  uint32_t nameAt = 0;
  uint32_t nameLength = 0;
  uint32_t dataAt = 0;
  uint32_t dataLength = 0;

  // The first time, makes the real call on the caller's own outputs and remembers what it
  // gave; afterwards gives the same again.
  template <typename RealCall>
  long Give(const ReadOutputs& out, AnswerBytes& bytes, RealCall realCall) {
    if (known) {
      Replay(out, bytes);
      return rc;
    }
    CopyBefore(bytes.nameBefore, out.name, out.name ? *out.nameChars : 0);
    CopyBefore(bytes.dataBefore, out.data, out.data ? *out.dataBytes : 0);
    rc = realCall();
    const bool success = rc == kErrorSuccess;
    if (out.nameChars != nullptr) nameChars = *out.nameChars;
    if (out.type != nullptr) type = *out.type;
    if (out.dataBytes != nullptr) dataBytes = *out.dataBytes;
    if (out.name != nullptr) {
      nameLength = static_cast<uint32_t>(
          WrittenLength(bytes.nameBefore, out.name, success ? size_t{nameChars} + 1 : 0));
      nameAt = bytes.Keep(out.name, nameLength);
    }
    if (out.data != nullptr) {
      dataLength = static_cast<uint32_t>(
          WrittenLength(bytes.dataBefore, out.data, success ? dataBytes : 0));
      dataAt = bytes.Keep(out.data, dataLength);
    }
    known = true;
    return rc;
  }

  void Replay(const ReadOutputs& out, const AnswerBytes& bytes) const {
    if (out.name != nullptr && nameLength > 0)
      std::memcpy(out.name, bytes.store.data() + nameAt, nameLength);
    if (out.nameChars != nullptr) *out.nameChars = nameChars;
    if (out.type != nullptr) *out.type = type;
    if (out.data != nullptr && dataLength > 0)
      std::memcpy(out.data, bytes.store.data() + dataAt, dataLength);
    if (out.dataBytes != nullptr) *out.dataBytes = dataBytes;
  }
};

// The inputs of a read besides the key and the index or name: the buffer sizes, the incoming
// value of the type (the real call does not read it, but the answer is then the same call's
// answer without exception) and which outputs are wanted.
struct ReadInputs {
  uint32_t nameChars = 0;
  uint32_t dataBytes = 0;
  uint32_t type = 0;
  uint8_t outputs = 0;
  bool operator==(const ReadInputs& other) const {
    return nameChars == other.nameChars && dataBytes == other.dataBytes && type == other.type &&
           outputs == other.outputs;
  }
};

// The answers of one enumeration, by index, for one set of inputs.
struct Enumeration {
  ReadInputs inputs;
  std::vector<Answer> byIndex;
};

struct QueryAnswer {
  std::string name;
  bool nullName = false;
  ReadInputs inputs;
  Answer answer;
};

}  // namespace

class ReadSnapshotRegistry::Snapshot {
 public:
  explicit Snapshot(IRegistry& real) : m_real(real) {}

  // Each returns false for a call the snapshot does not answer (a key it did not open, outputs
  // it does not remember); the caller then makes the call on the real registry.
  bool OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result, long& rc);
  bool EnumKey(RegKey handle, uint32_t index, char* name, uint32_t* nameChars, long& rc);
  bool EnumValue(RegKey handle, uint32_t index, char* name, uint32_t* nameChars, uint32_t* type,
                 uint8_t* data, uint32_t* dataBytes, long& rc);
  bool QueryValue(RegKey handle, const char* name, uint32_t* type, uint8_t* data,
                  uint32_t* dataBytes, long& rc);
  bool CloseKey(RegKey handle, long& rc);
  // Closes the keys nobody holds; hands the held ones over to heldKeys.
  void Release(std::unordered_map<RegKey, HeldKey>& heldKeys);

 private:
  struct Key;
  struct OpenAnswer {
    bool nullSubKey = false;
    uint32_t access = 0;
    RegKey resultIn = 0;
    long rc = 0;
    RegKey resultOut = 0;
    Key* opened = nullptr;  // on success
  };
  struct Key {
    RegKey handle = 0;
    uint32_t realOpens = 0;  // real opens this snapshot made of it, each to be closed once
    uint32_t held = 0;       // opens the caller has not closed
    std::unordered_map<std::string, std::vector<OpenAnswer>> opens;
    std::vector<Enumeration> subkeys;
    std::vector<Enumeration> values;
    std::vector<QueryAnswer> queries;
  };

  Key* KeyOf(RegKey handle);
  // The answer slot for index in the enumeration with these inputs, or null when too far out.
  static Answer* Slot(std::vector<Enumeration>& enumerations, const ReadInputs& inputs,
                      uint32_t index);

  IRegistry& m_real;
  std::unordered_map<RegKey, std::unique_ptr<Key>> m_keys;
  // The key of the last call: an enumeration asks about one key many times in a row.
  RegKey m_lastHandle = 0;
  Key* m_lastKey = nullptr;
  AnswerBytes m_bytes;
};

ReadSnapshotRegistry::Snapshot::Key* ReadSnapshotRegistry::Snapshot::KeyOf(RegKey handle) {
  if (m_lastKey != nullptr && handle == m_lastHandle) return m_lastKey;
  auto found = m_keys.find(handle);
  if (found != m_keys.end()) {
    m_lastHandle = handle;
    m_lastKey = found->second.get();
    return m_lastKey;
  }
  if (!IsPredefinedKey(handle)) return nullptr;
  auto root = std::make_unique<Key>();
  root->handle = handle;
  Key* key = root.get();
  m_keys.emplace(handle, std::move(root));
  return key;
}

Answer* ReadSnapshotRegistry::Snapshot::Slot(std::vector<Enumeration>& enumerations,
                                             const ReadInputs& inputs, uint32_t index) {
  auto found = std::find_if(enumerations.begin(), enumerations.end(),
                            [&](const Enumeration& e) { return e.inputs == inputs; });
  if (found == enumerations.end()) {
    enumerations.push_back(Enumeration{inputs, {}});
    found = enumerations.end() - 1;
  }
  std::vector<Answer>& answers = found->byIndex;
  if (index >= answers.size()) {
    if (index - answers.size() > kLargestIndexStep) return nullptr;
    answers.resize(static_cast<size_t>(index) + 1);
  }
  return &answers[index];
}

bool ReadSnapshotRegistry::Snapshot::OpenKey(RegKey parent, const char* subKey, uint32_t access,
                                             RegKey* result, long& rc) {
  if (result == nullptr) return false;
  Key* key = KeyOf(parent);
  if (key == nullptr) return false;
  const bool nullSubKey = subKey == nullptr;
  std::vector<OpenAnswer>& answers = key->opens[nullSubKey ? std::string() : std::string(subKey)];
  for (const OpenAnswer& answer : answers) {
    if (answer.nullSubKey != nullSubKey || answer.access != access || answer.resultIn != *result)
      continue;
    rc = answer.rc;
    *result = answer.resultOut;
    if (rc == kErrorSuccess) ++answer.opened->held;
    return true;
  }
  OpenAnswer answer;
  answer.nullSubKey = nullSubKey;
  answer.access = access;
  answer.resultIn = *result;
  RegKey opened = *result;
  rc = m_real.OpenKey(key->handle, subKey, access, &opened);
  *result = opened;
  // A root handed back for an empty sub key is not a key this snapshot opened.
  if (rc == kErrorSuccess && IsPredefinedKey(opened)) return true;
  answer.rc = rc;
  answer.resultOut = opened;
  if (rc == kErrorSuccess) {
    // Windows 9x hands out the same handle for every open of one key and counts the opens:
    // a handle already known is the same key, and one more reference to give back.
    std::unique_ptr<Key>& child = m_keys[opened];
    if (!child) {
      child = std::make_unique<Key>();
      child->handle = opened;
    }
    ++child->realOpens;
    ++child->held;
    answer.opened = child.get();
  }
  answers.push_back(answer);
  return true;
}

bool ReadSnapshotRegistry::Snapshot::EnumKey(RegKey handle, uint32_t index, char* name,
                                             uint32_t* nameChars, long& rc) {
  if (name == nullptr || nameChars == nullptr || *nameChars > kLargestRememberedBuffer)
    return false;
  Key* key = KeyOf(handle);
  if (key == nullptr) return false;
  ReadInputs inputs;
  inputs.nameChars = *nameChars;
  Answer* answer = Slot(key->subkeys, inputs, index);
  if (answer == nullptr) return false;
  rc = answer->Give({name, nameChars, nullptr, nullptr, nullptr}, m_bytes,
                    [&] { return m_real.EnumKey(key->handle, index, name, nameChars); });
  return true;
}

bool ReadSnapshotRegistry::Snapshot::EnumValue(RegKey handle, uint32_t index, char* name,
                                               uint32_t* nameChars, uint32_t* type,
                                               uint8_t* data, uint32_t* dataBytes, long& rc) {
  if (name == nullptr || nameChars == nullptr || (data != nullptr && dataBytes == nullptr))
    return false;
  if (*nameChars > kLargestRememberedBuffer ||
      (dataBytes != nullptr && *dataBytes > kLargestRememberedBuffer))
    return false;
  Key* key = KeyOf(handle);
  if (key == nullptr) return false;
  ReadInputs inputs;
  inputs.nameChars = *nameChars;
  inputs.dataBytes = dataBytes != nullptr ? *dataBytes : 0;
  inputs.type = type != nullptr ? *type : 0;
  inputs.outputs = Outputs(type, data, dataBytes);
  Answer* answer = Slot(key->values, inputs, index);
  if (answer == nullptr) return false;
  rc = answer->Give({name, nameChars, type, data, dataBytes}, m_bytes, [&] {
    return m_real.EnumValue(key->handle, index, name, nameChars, type, data, dataBytes);
  });
  return true;
}

bool ReadSnapshotRegistry::Snapshot::QueryValue(RegKey handle, const char* name, uint32_t* type,
                                                uint8_t* data, uint32_t* dataBytes, long& rc) {
  if ((data != nullptr && dataBytes == nullptr) ||
      (dataBytes != nullptr && *dataBytes > kLargestRememberedBuffer))
    return false;
  Key* key = KeyOf(handle);
  if (key == nullptr) return false;
  ReadInputs inputs;
  inputs.dataBytes = dataBytes != nullptr ? *dataBytes : 0;
  inputs.type = type != nullptr ? *type : 0;
  inputs.outputs = Outputs(type, data, dataBytes);
  const bool nullName = name == nullptr;
  const ReadOutputs outputs{nullptr, nullptr, type, data, dataBytes};
  auto realCall = [&] { return m_real.QueryValue(key->handle, name, type, data, dataBytes); };
  for (QueryAnswer& query : key->queries) {
    if (query.nullName == nullName && query.inputs == inputs && (nullName || query.name == name)) {
      rc = query.answer.Give(outputs, m_bytes, realCall);
      return true;
    }
  }
  QueryAnswer query;
  query.name = nullName ? std::string() : std::string(name);
  query.nullName = nullName;
  query.inputs = inputs;
  rc = query.answer.Give(outputs, m_bytes, realCall);
  key->queries.push_back(std::move(query));
  return true;
}

bool ReadSnapshotRegistry::Snapshot::CloseKey(RegKey handle, long& rc) {
  if (IsPredefinedKey(handle)) return false;
  auto found = m_keys.find(handle);
  // A handle of this snapshot that the caller no longer holds from it is someone else's now
  // (on 9x, an open made before the snapshot gets the same handle).
  if (found == m_keys.end() || found->second->held == 0) return false;
  // The real key stays open for the rest of the snapshot.
  --found->second->held;
  rc = kErrorSuccess;
  return true;
}

void ReadSnapshotRegistry::Snapshot::Release(std::unordered_map<RegKey, HeldKey>& heldKeys) {
  for (auto& entry : m_keys) {
    const Key& key = *entry.second;
    const uint32_t kept = std::min(key.realOpens, key.held);
    for (uint32_t i = kept; i < key.realOpens; ++i) m_real.CloseKey(key.handle);
    if (key.held == 0) continue;
    HeldKey& held = heldKeys[key.handle];
    held.held += key.held;
    held.realOpens += kept;
  }
  m_keys.clear();
  m_lastKey = nullptr;
}

ReadSnapshotRegistry::ReadSnapshotRegistry(IRegistry& real) : m_real(real) {}

ReadSnapshotRegistry::~ReadSnapshotRegistry() {
  Discard();
  // Nobody can close these through this registry any more.
  for (const auto& held : m_handedOver)
    for (uint32_t i = 0; i < held.second.realOpens; ++i) m_real.CloseKey(held.first);
}

void ReadSnapshotRegistry::Begin() {
  if (m_depth++ == 0 && m_enabled) m_snapshot = std::make_unique<Snapshot>(m_real);
}

void ReadSnapshotRegistry::End() {
  if (m_depth == 0) return;
  if (--m_depth == 0) Discard();
}

void ReadSnapshotRegistry::SetEnabled(bool enabled) {
  m_enabled = enabled;
  if (!enabled) Discard();
}

void ReadSnapshotRegistry::Discard() {
  if (!m_snapshot) return;
  m_snapshot->Release(m_handedOver);
  m_snapshot.reset();
}

long ReadSnapshotRegistry::OpenKey(RegKey parent, const char* subKey, uint32_t access,
                                   RegKey* result) {
  long rc = kErrorSuccess;
  if (m_snapshot && m_snapshot->OpenKey(parent, subKey, access, result, rc)) return rc;
  return m_real.OpenKey(parent, subKey, access, result);
}

long ReadSnapshotRegistry::CreateKey(RegKey parent, const char* subKey, uint32_t access,
                                     RegKey* result, uint32_t* disposition) {
  Discard();
  return m_real.CreateKey(parent, subKey, access, result, disposition);
}

long ReadSnapshotRegistry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameChars) {
  long rc = kErrorSuccess;
  if (m_snapshot && m_snapshot->EnumKey(key, index, name, nameChars, rc)) return rc;
  return m_real.EnumKey(key, index, name, nameChars);
}

long ReadSnapshotRegistry::EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameChars,
                                     uint32_t* type, uint8_t* data, uint32_t* dataBytes) {
  long rc = kErrorSuccess;
  if (m_snapshot && m_snapshot->EnumValue(key, index, name, nameChars, type, data, dataBytes, rc))
    return rc;
  return m_real.EnumValue(key, index, name, nameChars, type, data, dataBytes);
}

long ReadSnapshotRegistry::QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                                      uint32_t* dataBytes) {
  long rc = kErrorSuccess;
  if (m_snapshot && m_snapshot->QueryValue(key, name, type, data, dataBytes, rc)) return rc;
  return m_real.QueryValue(key, name, type, data, dataBytes);
}

long ReadSnapshotRegistry::SetValue(RegKey key, const char* name, uint32_t type,
                                    const uint8_t* data, uint32_t dataBytes) {
  Discard();
  return m_real.SetValue(key, name, type, data, dataBytes);
}

long ReadSnapshotRegistry::DeleteValue(RegKey key, const char* name) {
  Discard();
  return m_real.DeleteValue(key, name);
}

long ReadSnapshotRegistry::DeleteKey(RegKey parent, const char* subKey) {
  Discard();
  return m_real.DeleteKey(parent, subKey);
}

long ReadSnapshotRegistry::CloseKey(RegKey key) {
  long rc = kErrorSuccess;
  if (m_snapshot && m_snapshot->CloseKey(key, rc)) return rc;
  auto found = m_handedOver.find(key);
  if (found == m_handedOver.end()) return m_real.CloseKey(key);
  // The caller's closes of a handed-over key close the real opens behind it, the last ones
  // first: a key the caller opened twice from one real open is closed with its last close.
  HeldKey& held = found->second;
  --held.held;
  long closed = kErrorSuccess;
  if (held.realOpens > held.held) {
    --held.realOpens;
    closed = m_real.CloseKey(key);
  }
  if (held.held == 0) m_handedOver.erase(found);
  return closed;
}

}  // namespace platform
