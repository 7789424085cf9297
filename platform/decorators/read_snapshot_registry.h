// A registry decorator that can hold a read snapshot for the length of one refresh.
//
// A refresh asks the same questions many times over: every search key of every slot enumerates
// the mount records or the 9x devnodes again. While a snapshot is open, each call is made on the
// real registry only the first time it is asked (the same key, the same index or name, the same
// buffer sizes and the same outputs wanted) and answered from memory afterwards with exactly what
// the real registry answered then: the same result code, sizes, type and buffer bytes, including
// ERROR_MORE_DATA for a short buffer and ERROR_NO_MORE_ITEMS at the end of a key. Nothing is
// inferred from one call for another, so enumeration indexes and value order are the real ones.
//
// A key opened during the snapshot stays open on the real registry until the snapshot ends; the
// caller's handle is that real handle, so a call the snapshot does not answer from memory simply
// goes through. Every real open is closed once, also where Windows 9x gives the same handle to
// several opens of one key. Outside a snapshot every call goes through unchanged. Any write (set, delete,
// create) ends the open snapshot before it goes through, so nothing is ever read from a snapshot
// after the registry was changed through it, and the next snapshot reads the registry afresh.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "platform/registry.h"

namespace platform {

class ReadSnapshotRegistry : public IRegistry {
 public:
  explicit ReadSnapshotRegistry(IRegistry& real);
  ~ReadSnapshotRegistry() override;
  ReadSnapshotRegistry(const ReadSnapshotRegistry&) = delete;
  ReadSnapshotRegistry& operator=(const ReadSnapshotRegistry&) = delete;

  // Opens a snapshot; a Begin inside an open one joins it. Each Begin is ended by one End, the
  // last of which throws the snapshot away.
  void Begin();
  void End();
  // Whether calls are being answered from a snapshot now.
  bool Active() const { return m_snapshot != nullptr; }
  // With snapshots off, Begin opens none and every call goes through (for comparing runs).
  void SetEnabled(bool enabled);
  bool Enabled() const { return m_enabled; }

  long OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) override;
  long CreateKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result,
                 uint32_t* disposition) override;
  long EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameChars) override;
  long EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameChars, uint32_t* type,
                 uint8_t* data, uint32_t* dataBytes) override;
  long QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                  uint32_t* dataBytes) override;
  long SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                uint32_t dataBytes) override;
  long DeleteValue(RegKey key, const char* name) override;
  long DeleteKey(RegKey parent, const char* subKey) override;
  long CloseKey(RegKey key) override;

 private:
  class Snapshot;

  // Throws the snapshot away: its keys are closed on the real registry, except those the caller
  // still holds, which become plain handles closed when the caller closes them.
  void Discard();

  IRegistry& m_real;
  bool m_enabled = true;
  int m_depth = 0;
  std::unique_ptr<Snapshot> m_snapshot;
  // A key opened in an earlier snapshot that the caller has not closed yet: the caller's opens
  // still to be closed, and the real opens behind them.
  struct HeldKey {
    uint32_t held = 0;
    uint32_t realOpens = 0;
  };
  std::unordered_map<RegKey, HeldKey> m_handedOver;
};

// Holds a snapshot open for one scope: a refresh.
class ScopedReadSnapshot {
 public:
  explicit ScopedReadSnapshot(ReadSnapshotRegistry& registry) : m_registry(registry) {
    m_registry.Begin();
  }
  ~ScopedReadSnapshot() { m_registry.End(); }
  ScopedReadSnapshot(const ScopedReadSnapshot&) = delete;
  ScopedReadSnapshot& operator=(const ScopedReadSnapshot&) = delete;

 private:
  ReadSnapshotRegistry& m_registry;
};

}  // namespace platform
