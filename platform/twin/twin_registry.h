// The in-memory registry: one key tree per root, with the Win32 semantics the programs
// depend on (see the comments on each rule in twin_registry.cpp).
//
// Enumeration order follows Windows NT: values in the order they were first stored, subkeys
// sorted by their upper-cased names. SetWineOrder(true) reproduces Wine 8 instead (values and
// subkeys sorted by their lower-cased names), for comparing a prediction with a Wine run.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace platform {

class MemoryRegistry : public IRegistry {
 public:
  // One value as enumerated; data as stored (ANSI text for the string types).
  struct ValueImage {
    std::string name;
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
    bool operator==(const ValueImage& other) const {
      return name == other.name && type == other.type && data == other.data;
    }
  };
  // One key: its path below the root ("" for the root itself) and its values.
  struct KeyImage {
    std::string path;
    std::vector<ValueImage> values;
    bool operator==(const KeyImage& other) const {
      return path == other.path && values == other.values;
    }
  };

  MemoryRegistry();
  ~MemoryRegistry() override;
  MemoryRegistry(const MemoryRegistry&) = delete;
  MemoryRegistry& operator=(const MemoryRegistry&) = delete;

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

  // Wine 8's enumeration order instead of Windows'.
  void SetWineOrder(bool wineOrder) { m_wineOrder = wineOrder; }
  bool WineOrder() const { return m_wineOrder; }
  // Windows 9x checked no access rights on registry handles; NT does (the default).
  void SetAccessChecks(bool enforce) { m_accessChecks = enforce; }
  // Windows 95, 98 and Me delete a key with all its subkeys; NT refuses a key that has any
  // (the default).
  void SetSubtreeDelete(bool subtree) { m_subtreeDelete = subtree; }
  // A root that the user may read but not change, as HKEY_LOCAL_MACHINE is for a standard
  // user on Vista: opening or creating a key below it with any write right is denied.
  void SetReadOnlyRoot(RegKey root, bool readOnly);

  // Handles opened and not yet closed (the predefined roots are not counted).
  size_t OpenHandleCount() const { return m_handles.size(); }
  // Changes made so far (keys created or deleted, values set or deleted): equal counts
  // mean an unchanged registry, without comparing snapshots.
  uint64_t ChangeCount() const { return m_changes; }

  // The tree below root/path, depth first in enumeration order, the key itself first.
  // Empty when the key does not exist.
  std::vector<KeyImage> Snapshot(RegKey root, const std::string& path = std::string()) const;
  // Snapshot of every root that holds anything, keyed by root.
  std::map<RegKey, std::vector<KeyImage>> SnapshotAll() const;

 private:
  struct Node;
  struct Handle;
  using NodePtr = std::shared_ptr<Node>;

  long Resolve(RegKey key, Node** node, uint32_t* access) const;
  // Whether a key below node may not be opened with these rights.
  bool WriteDenied(const Node* node, uint32_t access) const;
  // The common start of open and create: the parent resolved and the path checked.
  long BeginOpen(RegKey parent, const char* subKey, RegKey* result, Node** node) const;
  long ResolveWithAccess(RegKey key, uint32_t needed, Node** node) const;
  RegKey NewHandle(const NodePtr& node, uint32_t access);
  NodePtr Share(Node* node) const;
  // The subkeys in enumeration order.
  const std::vector<Node*>& OrderedChildren(Node& node) const;
  // Where the value enumerated at index is stored.
  size_t ValueAt(Node& node, size_t index) const;
  // Marks a key and everything below it deleted: their open handles then fail.
  static void MarkDeleted(Node& node);
  void SnapshotInto(Node& node, const std::string& path,
                    std::vector<KeyImage>& out) const;

  std::map<RegKey, NodePtr> m_roots;
  std::map<RegKey, std::unique_ptr<Handle>> m_handles;
  RegKey m_nextHandle = 0x1000;
  uint64_t m_changes = 0;
  bool m_wineOrder = false;
  bool m_accessChecks = true;
  bool m_subtreeDelete = false;
  std::vector<RegKey> m_readOnlyRoots;
};

}  // namespace platform
