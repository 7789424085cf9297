// The refresh's read snapshot: one real call per question, the same answer every time it is
// asked again (short buffers and the end of a key included), writes ending it, keys closed.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "platform/decorators/read_snapshot_registry.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/twin/twin_registry.h"

namespace {

using namespace platform;

// Counts the calls that reach the registry beneath.
class CountingRegistry : public IRegistry {
 public:
  explicit CountingRegistry(IRegistry& inner) : m_inner(inner) {}
  long OpenKey(RegKey p, const char* s, uint32_t a, RegKey* r) override {
    ++calls;
    return m_inner.OpenKey(p, s, a, r);
  }
  long CreateKey(RegKey p, const char* s, uint32_t a, RegKey* r, uint32_t* d) override {
    ++calls;
    return m_inner.CreateKey(p, s, a, r, d);
  }
  long EnumKey(RegKey k, uint32_t i, char* n, uint32_t* c) override {
    ++calls;
    return m_inner.EnumKey(k, i, n, c);
  }
  long EnumValue(RegKey k, uint32_t i, char* n, uint32_t* c, uint32_t* t, uint8_t* d,
                 uint32_t* b) override {
    ++calls;
    return m_inner.EnumValue(k, i, n, c, t, d, b);
  }
  long QueryValue(RegKey k, const char* n, uint32_t* t, uint8_t* d, uint32_t* b) override {
    ++calls;
    return m_inner.QueryValue(k, n, t, d, b);
  }
  long SetValue(RegKey k, const char* n, uint32_t t, const uint8_t* d, uint32_t b) override {
    ++calls;
    return m_inner.SetValue(k, n, t, d, b);
  }
  long DeleteValue(RegKey k, const char* n) override {
    ++calls;
    return m_inner.DeleteValue(k, n);
  }
  long DeleteKey(RegKey p, const char* s) override {
    ++calls;
    return m_inner.DeleteKey(p, s);
  }
  long CloseKey(RegKey k) override {
    ++calls;
    return m_inner.CloseKey(k);
  }
  int calls = 0;

 private:
  IRegistry& m_inner;
};

// Windows 9x: every open of one key returns the same handle, counting the opens; the key
// is closed with the last of them. (Opens below the roots only, as the tests make them.)
class NinexHandles : public CountingRegistry {
 public:
  explicit NinexHandles(MemoryRegistry& inner) : CountingRegistry(inner), m_memory(inner) {}
  long OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) override {
    const std::string path = std::to_string(parent) + "\\" + subKey;
    auto shared = m_shared.find(path);
    if (shared == m_shared.end()) {
      long rc = m_memory.OpenKey(parent, subKey, access, result);
      if (rc == kErrorSuccess) m_shared[path] = {*result, 1};
      return rc;
    }
    ++shared->second.second;
    *result = shared->second.first;
    return kErrorSuccess;
  }
  long CloseKey(RegKey key) override {
    ++closes;
    for (auto shared = m_shared.begin(); shared != m_shared.end(); ++shared) {
      if (shared->second.first != key) continue;
      if (--shared->second.second == 0) {
        m_shared.erase(shared);
        return m_memory.CloseKey(key);
      }
      return kErrorSuccess;
    }
    return kErrorInvalidHandle;
  }
  int closes = 0;

 private:
  MemoryRegistry& m_memory;
  std::map<std::string, std::pair<RegKey, int>> m_shared;
};

constexpr char kKey[] = "System\\Snapshot";

void SetText(IRegistry& registry, const char* name, const std::string& text) {
  ScopedRegKey key(registry);
  ASSERT_EQ(key.Create(kHkeyLocalMachine, kKey, kKeyAllAccess), kErrorSuccess);
  registry.SetValue(key.Get(), name, kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
                    static_cast<uint32_t>(text.size() + 1));
}

std::string QueryText(IRegistry& registry, RegKey key, const char* name) {
  char data[64] = {};
  uint32_t size = sizeof data;
  if (registry.QueryValue(key, name, nullptr, reinterpret_cast<uint8_t*>(data), &size) !=
      kErrorSuccess)
    return "(no value)";
  return data;
}

std::string QueryText(IRegistry& registry, const char* name) {
  ScopedRegKey key(registry);
  if (key.Open(kHkeyLocalMachine, kKey, kKeyRead) != kErrorSuccess) return "(no key)";
  return QueryText(registry, key.Get(), name);
}

struct EnumResult {
  long rc;
  std::string name;
  uint32_t type;
  uint32_t dataBytes;
  bool operator==(const EnumResult& o) const {
    return rc == o.rc && name == o.name && type == o.type && dataBytes == o.dataBytes;
  }
};

// Every index of the key's values through buffers of bufferSize, up to and with the end.
std::vector<EnumResult> EnumerateValues(IRegistry& registry, uint32_t bufferSize = 260) {
  std::vector<EnumResult> results;
  ScopedRegKey key(registry);
  EXPECT_EQ(key.Open(kHkeyLocalMachine, kKey, kKeyRead), kErrorSuccess);
  for (uint32_t index = 0;; ++index) {
    char name[512];
    uint8_t data[512];
    uint32_t nameChars = bufferSize;
    uint32_t dataBytes = bufferSize;
    uint32_t type = 0;
    long rc = registry.EnumValue(key.Get(), index, name, &nameChars, &type, data, &dataBytes);
    results.push_back({rc, rc == kErrorSuccess ? std::string(name, nameChars) : "", type,
                       dataBytes});
    if (rc != kErrorSuccess && rc != kErrorMoreData) break;
  }
  return results;
}

TEST(ReadSnapshotRegistry, AsksTheRealRegistryOnceAndAnswersAgainExactly) {
  MemoryRegistry memory;
  SetText(memory, "First", "1");
  SetText(memory, "Long", std::string(300, 'L'));  // does not fit the 260-byte buffer
  SetText(memory, "Last", "3");
  CountingRegistry real(memory);
  ReadSnapshotRegistry snapshot(real);

  const std::vector<EnumResult> direct = EnumerateValues(memory);
  ASSERT_EQ(direct.size(), 4u);
  EXPECT_EQ(direct[1].rc, kErrorMoreData);
  EXPECT_EQ(direct[3].rc, kErrorNoMoreItems);

  ScopedReadSnapshot scope(snapshot);
  EXPECT_EQ(EnumerateValues(snapshot), direct);
  const int afterFirstPass = real.calls;
  EXPECT_EQ(afterFirstPass, 5);  // the open and one call per index; the close waits for the end
  EXPECT_EQ(EnumerateValues(snapshot), direct);
  EXPECT_EQ(EnumerateValues(snapshot), direct);
  EXPECT_EQ(real.calls, afterFirstPass);
  // Larger buffers are another question: the long value fits them.
  const std::vector<EnumResult> wide = EnumerateValues(snapshot, 512);
  EXPECT_EQ(wide, EnumerateValues(memory, 512));
  EXPECT_EQ(wide[1].rc, kErrorSuccess);
}

TEST(ReadSnapshotRegistry, AnAnswerWritesOnlyWhatTheRealCallWrote) {
  MemoryRegistry memory;
  SetText(memory, "Long", std::string(300, 'L'));
  SetText(memory, "Short", "ab");
  ReadSnapshotRegistry snapshot(memory);
  ScopedReadSnapshot scope(snapshot);
  ScopedRegKey key(snapshot);
  ASSERT_EQ(key.Open(kHkeyLocalMachine, kKey, kKeyRead), kErrorSuccess);
  for (int pass = 0; pass < 2; ++pass) {
    // A short buffer: the real call reports the size needed and leaves the buffer alone.
    const char fill = pass == 0 ? 'x' : 'y';
    char data[8];
    std::memset(data, fill, sizeof data);
    uint32_t size = sizeof data;
    EXPECT_EQ(snapshot.QueryValue(key.Get(), "Long", nullptr, reinterpret_cast<uint8_t*>(data),
                                  &size),
              kErrorMoreData);
    EXPECT_EQ(size, 301u);
    EXPECT_EQ(std::string(data, sizeof data), std::string(sizeof data, fill)) << pass;
    // A fitting one: the text and its terminator, the rest of the buffer as it was.
    std::memset(data, fill, sizeof data);
    size = sizeof data;
    EXPECT_EQ(snapshot.QueryValue(key.Get(), "Short", nullptr, reinterpret_cast<uint8_t*>(data),
                                  &size),
              kErrorSuccess);
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(std::string(data, sizeof data), std::string("ab") + '\0' + std::string(5, fill))
        << pass;
  }
}

TEST(ReadSnapshotRegistry, AWriteEndsTheSnapshotAndTheNextOneReadsAfresh) {
  MemoryRegistry memory;
  SetText(memory, "Letter", "E");
  ReadSnapshotRegistry snapshot(memory);

  snapshot.Begin();
  EXPECT_EQ(QueryText(snapshot, "Letter"), "E");
  // A change beside the snapshot is not seen while it lasts...
  SetText(memory, "Letter", "F");
  EXPECT_EQ(QueryText(snapshot, "Letter"), "E");
  // ...but a write through it ends it, and every read after the write is a real one.
  SetText(snapshot, "Other", "1");
  EXPECT_FALSE(snapshot.Active());
  EXPECT_EQ(QueryText(snapshot, "Letter"), "F");
  SetText(memory, "Letter", "G");
  EXPECT_EQ(QueryText(snapshot, "Letter"), "G");
  snapshot.End();

  snapshot.Begin();
  EXPECT_TRUE(snapshot.Active());
  EXPECT_EQ(QueryText(snapshot, "Letter"), "G");
  snapshot.End();
  EXPECT_EQ(memory.OpenHandleCount(), 0u);
}

TEST(ReadSnapshotRegistry, KeysAreClosedAtTheEndOrWhenTheCallerClosesThemLater) {
  MemoryRegistry memory;
  SetText(memory, "Letter", "E");
  ReadSnapshotRegistry snapshot(memory);
  ScopedRegKey held(snapshot);
  {
    ScopedReadSnapshot scope(snapshot);
    EXPECT_EQ(QueryText(snapshot, "Letter"), "E");
    EXPECT_EQ(memory.OpenHandleCount(), 1u);  // kept open for the rest of the refresh
    ASSERT_EQ(held.Open(kHkeyLocalMachine, kKey, kKeyRead), kErrorSuccess);
  }
  // The key still held outside the snapshot is a plain key now: real reads, closed once.
  EXPECT_EQ(memory.OpenHandleCount(), 1u);
  SetText(memory, "Letter", "F");
  EXPECT_EQ(QueryText(snapshot, held.Get(), "Letter"), "F");
  held.Close();
  EXPECT_EQ(memory.OpenHandleCount(), 0u);
}

TEST(ReadSnapshotRegistry, EveryOpenOfA9xHandleIsClosedOnce) {
  MemoryRegistry memory;
  SetText(memory, "Letter", "E");
  NinexHandles ninex(memory);
  ReadSnapshotRegistry snapshot(ninex);
  ScopedRegKey before(snapshot);  // opened before the refresh, closed during it
  ASSERT_EQ(before.Open(kHkeyLocalMachine, kKey, kKeyAllAccess), kErrorSuccess);
  ScopedRegKey held(snapshot);  // opened during the refresh, closed after it
  {
    ScopedReadSnapshot scope(snapshot);
    EXPECT_EQ(QueryText(snapshot, "Letter"), "E");
    ScopedRegKey again(snapshot);
    ASSERT_EQ(again.Open(kHkeyLocalMachine, kKey, kKeyAllAccess), kErrorSuccess);
    EXPECT_EQ(again.Get(), before.Get());
    ASSERT_EQ(held.Open(kHkeyLocalMachine, kKey, kKeyAllAccess), kErrorSuccess);
    before.Close();
  }
  EXPECT_EQ(memory.OpenHandleCount(), 1u);
  EXPECT_EQ(QueryText(snapshot, held.Get(), "Letter"), "E");
  held.Close();
  EXPECT_EQ(memory.OpenHandleCount(), 0u);
  EXPECT_EQ(ninex.closes, 3);  // the one open before and the two real opens of the refresh
}

TEST(ReadSnapshotRegistry, WithSnapshotsOffEveryCallGoesThrough) {
  MemoryRegistry memory;
  SetText(memory, "Letter", "E");
  CountingRegistry real(memory);
  ReadSnapshotRegistry snapshot(real);
  snapshot.SetEnabled(false);
  ScopedReadSnapshot scope(snapshot);
  EXPECT_FALSE(snapshot.Active());
  QueryText(snapshot, "Letter");
  QueryText(snapshot, "Letter");
  EXPECT_EQ(real.calls, 6);  // open, query and close, twice
}

}  // namespace
