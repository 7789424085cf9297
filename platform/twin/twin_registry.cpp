#include "platform/twin/twin_registry.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "platform/text/mbcs_text.h"
#include "platform/text/registry_names.h"

namespace platform {

namespace {
// Hashing and comparing names as the registry matches them, so that a lookup by name needs no
// folded copy of it.
struct RegistryNameHasher {
  size_t operator()(const std::string& name) const { return RegistryNameHash(name); }
};
struct RegistryNameMatch {
  bool operator()(const std::string& a, const std::string& b) const {
    return RegistryNamesEqual(a, b);
  }
};
}  // namespace

struct MemoryRegistry::Node : std::enable_shared_from_this<MemoryRegistry::Node> {
  std::string name;
  Node* parent = nullptr;
  std::vector<NodePtr> children;    // creation order; enumeration sorts them
  // The children by name: opening a path must not compare every sibling's name (a 9x
  // configuration manager key has hundreds of devnodes).
  std::unordered_map<std::string, Node*, RegistryNameHasher, RegistryNameMatch> childIndex;
  std::vector<ValueImage> values;   // stored order, which is Windows' enumeration order
  std::vector<uint32_t> valueHashes;  // RegistryNameHash of each value's name, same order
  bool deleted = false;
  // Enumeration orders, worked out once per change of the key rather than once per index:
  // an enumeration by index would otherwise sort the whole key for every entry.
  bool childOrderValid = false;
  bool childOrderWine = false;
  std::vector<Node*> childOrder;
  bool wineValueOrderValid = false;
  std::vector<size_t> wineValueOrder;
  void ChildrenChanged() { childOrderValid = false; }
  void ValuesChanged() { wineValueOrderValid = false; }
};

namespace {
template <typename NodeT>
NodeT* FindChild(NodeT& node, const std::string& name) {
  auto found = node.childIndex.find(name);
  return found == node.childIndex.end() ? nullptr : found->second;
}
}  // namespace

struct MemoryRegistry::Handle {
  NodePtr node;  // keeps a deleted key alive until its last handle is closed
  uint32_t access = 0;
};

namespace {

constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kGenericWrite = 0x40000000u;
constexpr uint32_t kGenericExecute = 0x20000000u;
constexpr uint32_t kGenericAll = 0x10000000u;
constexpr uint32_t kMaximumAllowed = 0x02000000u;

// The generic rights map to the key rights as the registry's generic mapping does.
uint32_t MapGenericAccess(uint32_t access) {
  uint32_t mapped = access & ~(kGenericRead | kGenericWrite | kGenericExecute | kGenericAll |
                               kMaximumAllowed);
  if (access & (kGenericRead | kGenericExecute)) mapped |= kKeyRead;
  if (access & kGenericWrite) mapped |= kKeyWrite;
  if (access & (kGenericAll | kMaximumAllowed)) mapped |= kKeyAllAccess;
  return mapped;
}

bool IsStringType(uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// The ANSI reads of NT append a NUL to string data stored without one when the buffer has
// room for it; the size reported stays the stored size.
void TerminateString(uint32_t type, uint8_t* data, uint32_t size, uint32_t capacity) {
  if (IsStringType(type) && size > 0 && data[size - 1] != 0 && size < capacity) data[size] = 0;
}

// The components of a sub key path, one at a time. A leading backslash is refused
// (ERROR_BAD_PATHNAME, as on NT); trailing ones are ignored, and so are empty components in
// between, as Wine does. A backslash that is the trail byte of a double-byte character does
// not split: the real call converts the name to UTF-16 before looking at separators.
// Walked in place rather than split into a list: every open goes through its path, and the
// list's allocations were most of an open's cost.
class PathParts {
 public:
  explicit PathParts(const char* subKey) : m_next(subKey != nullptr ? subKey : "") {}
  long Check() const { return *m_next == '\\' ? kErrorBadPathname : kErrorSuccess; }
  // The next component into part; false after the last.
  bool Next(std::string& part) {
    while (*m_next == '\\') ++m_next;
    if (*m_next == '\0') return false;
    const char* start = m_next;
    for (; *m_next != '\0' && *m_next != '\\'; ++m_next)
      if (IsCp932LeadByte(static_cast<unsigned char>(*m_next)) && m_next[1] != '\0') ++m_next;
    part.assign(start, m_next);
    return true;
  }

 private:
  const char* m_next;
};

}  // namespace

MemoryRegistry::MemoryRegistry() {
  for (RegKey root : {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers,
                      kHkeyDynData}) {
    m_roots[root] = std::make_shared<Node>();
  }
}

MemoryRegistry::~MemoryRegistry() = default;

long MemoryRegistry::Resolve(RegKey key, Node** node, uint32_t* access) const {
  if (IsPredefinedKey(key)) {
    auto root = m_roots.find(key);
    if (root == m_roots.end()) return kErrorInvalidHandle;
    *node = root->second.get();
    *access = kKeyAllAccess;
    return kErrorSuccess;
  }
  auto handle = m_handles.find(key);
  if (handle == m_handles.end()) return kErrorInvalidHandle;
  if (handle->second->node->deleted) return kErrorKeyDeleted;
  *node = handle->second->node.get();
  *access = handle->second->access;
  return kErrorSuccess;
}

long MemoryRegistry::ResolveWithAccess(RegKey key, uint32_t needed, Node** node) const {
  uint32_t access = 0;
  long rc = Resolve(key, node, &access);
  if (rc != kErrorSuccess) return rc;
  if (m_accessChecks && (access & needed) != needed) return kErrorAccessDenied;
  return kErrorSuccess;
}

RegKey MemoryRegistry::NewHandle(const NodePtr& node, uint32_t access) {
  // Handles are never reused, so a stale handle reads as invalid rather than as another key.
  RegKey key = m_nextHandle;
  m_nextHandle += 4;
  auto handle = std::make_unique<Handle>();
  handle->node = node;
  handle->access = MapGenericAccess(access);
  m_handles[key] = std::move(handle);
  return key;
}

MemoryRegistry::NodePtr MemoryRegistry::Share(Node* node) const {
  return node->shared_from_this();
}

namespace {

// Where the value of that name is stored, or the end. The names' hashes are compared first:
// a MountedDevices key holds thousands of names of one length and one long common start.
template <typename NodeT>
auto FindValue(NodeT& node, const std::string& name) -> decltype(node.values.begin()) {
  const uint32_t hash = RegistryNameHash(name);
  for (size_t i = 0; i < node.valueHashes.size(); ++i)
    if (node.valueHashes[i] == hash && RegistryNamesEqual(node.values[i].name, name))
      return node.values.begin() + static_cast<std::ptrdiff_t>(i);
  return node.values.end();
}

}  // namespace

long MemoryRegistry::BeginOpen(RegKey parent, const char* subKey, RegKey* result,
                               Node** node) const {
  if (result == nullptr) return kErrorInvalidParameter;
  uint32_t parentAccess = 0;
  // Windows ignores the rights of the parent handle when opening or creating below it.
  long rc = Resolve(parent, node, &parentAccess);
  if (rc == kErrorInvalidHandle) return rc;  // the result is left alone
  if (rc == kErrorSuccess) rc = PathParts(subKey).Check();
  if (rc != kErrorSuccess) *result = 0;
  return rc;
}

void MemoryRegistry::SetReadOnlyRoot(RegKey root, bool readOnly) {
  m_readOnlyRoots.erase(std::remove(m_readOnlyRoots.begin(), m_readOnlyRoots.end(), root),
                        m_readOnlyRoots.end());
  if (readOnly) m_readOnlyRoots.push_back(root);
}

bool MemoryRegistry::WriteDenied(const Node* node, uint32_t access) const {
  constexpr uint32_t kWriteRights = kKeySetValue | kKeyCreateSubKey | 0x00010000u /* DELETE */;
  if ((MapGenericAccess(access) & kWriteRights) == 0 || m_readOnlyRoots.empty()) return false;
  while (node->parent != nullptr) node = node->parent;
  for (RegKey root : m_readOnlyRoots) {
    auto found = m_roots.find(root);
    if (found != m_roots.end() && found->second.get() == node) return true;
  }
  return false;
}

long MemoryRegistry::OpenKey(RegKey parent, const char* subKey, uint32_t access,
                             RegKey* result) {
  Node* node = nullptr;
  long rc = BeginOpen(parent, subKey, result, &node);
  if (rc != kErrorSuccess) return rc;
  if (WriteDenied(node, access)) {
    *result = 0;
    return kErrorAccessDenied;
  }
  // An empty path on a predefined root gives the root itself back, not a new handle.
  if ((subKey == nullptr || *subKey == '\0') && IsPredefinedKey(parent)) {
    *result = parent;
    return kErrorSuccess;
  }
  PathParts parts(subKey);
  for (std::string part; parts.Next(part);) {
    node = FindChild(*node, part);
    if (node == nullptr) {
      *result = 0;
      return kErrorFileNotFound;
    }
  }
  *result = NewHandle(Share(node), access);
  return kErrorSuccess;
}

long MemoryRegistry::CreateKey(RegKey parent, const char* subKey, uint32_t access,
                               RegKey* result, uint32_t* disposition) {
  Node* node = nullptr;
  long rc = BeginOpen(parent, subKey, result, &node);
  if (rc != kErrorSuccess) return rc;
  if (WriteDenied(node, access)) {
    *result = 0;
    return kErrorAccessDenied;
  }
  bool created = false;
  if ((subKey == nullptr || *subKey == '\0') && IsPredefinedKey(parent)) {
    *result = parent;
  } else {
    PathParts parts(subKey);
    for (std::string part; parts.Next(part);) {
      Node* child = FindChild(*node, part);
      created = child == nullptr;
      if (created) {
        auto fresh = std::make_shared<Node>();
        fresh->name = part;
        fresh->parent = node;
        node->children.push_back(fresh);
        node->childIndex[part] = fresh.get();
        node->ChildrenChanged();
        ++m_changes;
        child = fresh.get();
      }
      node = child;
    }
    *result = NewHandle(Share(node), access);
  }
  if (disposition != nullptr) *disposition = created ? kRegCreatedNewKey : kRegOpenedExistingKey;
  return kErrorSuccess;
}

const std::vector<MemoryRegistry::Node*>& MemoryRegistry::OrderedChildren(Node& node) const {
  if (node.childOrderValid && node.childOrderWine == m_wineOrder) return node.childOrder;
  // NT orders subkeys by their upper-cased names, Wine by their lower-cased names; the two
  // differ for the characters between 'Z' and 'a' ("[", "_", ...).
  std::vector<std::pair<std::u16string, Node*>> keyed;
  keyed.reserve(node.children.size());
  for (const NodePtr& child : node.children)
    keyed.emplace_back(RegistryNameSortKey(child->name, !m_wineOrder), child.get());
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  node.childOrder.clear();
  node.childOrder.reserve(keyed.size());
  for (auto& entry : keyed) node.childOrder.push_back(entry.second);
  node.childOrderValid = true;
  node.childOrderWine = m_wineOrder;
  return node.childOrder;
}

size_t MemoryRegistry::ValueAt(Node& node, size_t index) const {
  if (!m_wineOrder) return index;  // Windows enumerates values in stored order
  if (!node.wineValueOrderValid) {
    // Wine keeps values in an array sorted by lower-cased name.
    std::vector<std::u16string> keys;
    keys.reserve(node.values.size());
    for (const ValueImage& v : node.values) keys.push_back(RegistryNameSortKey(v.name, false));
    node.wineValueOrder.resize(node.values.size());
    for (size_t i = 0; i < node.wineValueOrder.size(); ++i) node.wineValueOrder[i] = i;
    std::stable_sort(node.wineValueOrder.begin(), node.wineValueOrder.end(),
                     [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    node.wineValueOrderValid = true;
  }
  return node.wineValueOrder[index];
}

long MemoryRegistry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameChars) {
  if (name == nullptr || nameChars == nullptr) return kErrorInvalidParameter;
  Node* node = nullptr;
  long rc = ResolveWithAccess(key, kKeyEnumerateSubKeys, &node);
  if (rc != kErrorSuccess) return rc;
  const std::vector<Node*>& children = OrderedChildren(*node);
  if (index >= children.size()) return kErrorNoMoreItems;
  const std::string& childName = children[index]->name;
  // The terminator must fit too; a short buffer is left alone and so is its size, and the
  // caller may go on with the next index.
  if (childName.size() >= *nameChars) return kErrorMoreData;
  std::memcpy(name, childName.data(), childName.size());
  name[childName.size()] = '\0';
  *nameChars = static_cast<uint32_t>(childName.size());
  return kErrorSuccess;
}

long MemoryRegistry::EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameChars,
                               uint32_t* type, uint8_t* data, uint32_t* dataBytes) {
  if (name == nullptr || nameChars == nullptr) return kErrorInvalidParameter;
  if (data != nullptr && dataBytes == nullptr) return kErrorInvalidParameter;
  Node* node = nullptr;
  long rc = ResolveWithAccess(key, kKeyQueryValue, &node);
  if (rc != kErrorSuccess) return rc;
  if (index >= node->values.size()) return kErrorNoMoreItems;
  const ValueImage& value = node->values[ValueAt(*node, index)];
  const uint32_t size = static_cast<uint32_t>(value.data.size());
  if (type != nullptr) *type = value.type;
  const bool nameFits = value.name.size() < *nameChars;
  const bool dataFits = data == nullptr || size <= *dataBytes;
  if (!nameFits || !dataFits) {
    // As on XP: the type and the data size are reported, the name, its size and the data
    // buffer are left alone (later Windows and Wine may fill the buffers partly; nothing
    // may rely on either).
    if (dataBytes != nullptr) *dataBytes = size;
    return kErrorMoreData;
  }
  std::memcpy(name, value.name.data(), value.name.size());
  name[value.name.size()] = '\0';
  *nameChars = static_cast<uint32_t>(value.name.size());
  if (data != nullptr && size > 0) std::memcpy(data, value.data.data(), size);
  if (data != nullptr) TerminateString(value.type, data, size, *dataBytes);
  if (dataBytes != nullptr) *dataBytes = size;
  return kErrorSuccess;
}

long MemoryRegistry::QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                                uint32_t* dataBytes) {
  if (data != nullptr && dataBytes == nullptr) return kErrorInvalidParameter;
  Node* node = nullptr;
  long rc = ResolveWithAccess(key, kKeyQueryValue, &node);
  if (rc != kErrorSuccess) return rc;
  auto value = FindValue(*node, name != nullptr ? std::string(name) : std::string());
  if (value == node->values.end()) {
    // A size query for a missing value reports 0; a read leaves the size alone.
    if (data == nullptr && dataBytes != nullptr) *dataBytes = 0;
    return kErrorFileNotFound;
  }
  const uint32_t size = static_cast<uint32_t>(value->data.size());
  if (type != nullptr) *type = value->type;
  if (data != nullptr) {
    if (size > *dataBytes) {
      *dataBytes = size;
      return kErrorMoreData;
    }
    if (size > 0) std::memcpy(data, value->data.data(), size);
    TerminateString(value->type, data, size, *dataBytes);
  }
  if (dataBytes != nullptr) *dataBytes = size;
  return kErrorSuccess;
}

long MemoryRegistry::SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                              uint32_t dataBytes) {
  Node* node = nullptr;
  long rc = ResolveWithAccess(key, kKeySetValue, &node);
  if (rc != kErrorSuccess) return rc;
  if (data == nullptr && dataBytes != 0) return kErrorInvalidParameter;
  uint32_t count = dataBytes;
  // NT counts a forgotten terminator: a string whose last byte is not NUL but whose next
  // byte is gets that NUL stored too. Like the real call, this reads one byte past the size.
  if (IsStringType(type) && count > 0 && data[count - 1] != 0 && data[count] == 0) ++count;
  std::string valueName = name != nullptr ? std::string(name) : std::string();
  auto value = FindValue(*node, valueName);
  if (value == node->values.end()) {
    // A new value goes to the end; one set again keeps its place (and its spelling).
    node->valueHashes.push_back(RegistryNameHash(valueName));
    node->values.push_back(ValueImage{std::move(valueName), type, {}});
    node->ValuesChanged();
    value = node->values.end() - 1;
  }
  value->type = type;
  value->data.assign(data, data + count);
  ++m_changes;
  return kErrorSuccess;
}

long MemoryRegistry::DeleteValue(RegKey key, const char* name) {
  Node* node = nullptr;
  long rc = ResolveWithAccess(key, kKeySetValue, &node);
  if (rc != kErrorSuccess) return rc;
  auto value = FindValue(*node, name != nullptr ? std::string(name) : std::string());
  if (value == node->values.end()) return kErrorFileNotFound;
  node->valueHashes.erase(node->valueHashes.begin() + (value - node->values.begin()));
  node->values.erase(value);
  node->ValuesChanged();
  ++m_changes;
  return kErrorSuccess;
}

long MemoryRegistry::DeleteKey(RegKey parent, const char* subKey) {
  if (subKey == nullptr) return kErrorInvalidParameter;
  Node* node = nullptr;
  uint32_t parentAccess = 0;
  // The key is opened for deletion on its own; the parent handle's rights do not matter.
  long rc = Resolve(parent, &node, &parentAccess);
  if (rc != kErrorSuccess) return rc;
  PathParts parts(subKey);
  rc = parts.Check();
  if (rc != kErrorSuccess) return rc;
  for (std::string part; parts.Next(part);) {
    node = FindChild(*node, part);
    if (node == nullptr) return kErrorFileNotFound;
  }
  // A root cannot be deleted, and NT refuses a key that still has subkeys.
  if (node->parent == nullptr || (!node->children.empty() && !m_subtreeDelete))
    return kErrorAccessDenied;
  Node* owner = node->parent;
  MarkDeleted(*node);
  node->parent = nullptr;
  // Unindexed first: taking the key out of the list may free it (when no handle holds it).
  owner->childIndex.erase(node->name);
  owner->ChildrenChanged();
  owner->children.erase(
      std::find_if(owner->children.begin(), owner->children.end(),
                   [node](const NodePtr& child) { return child.get() == node; }));
  ++m_changes;
  return kErrorSuccess;
}

void MemoryRegistry::MarkDeleted(Node& node) {
  node.deleted = true;
  for (const NodePtr& child : node.children) MarkDeleted(*child);
}

long MemoryRegistry::CloseKey(RegKey key) {
  if (IsPredefinedKey(key)) return kErrorSuccess;
  auto handle = m_handles.find(key);
  if (handle == m_handles.end()) return kErrorInvalidHandle;
  m_handles.erase(handle);
  return kErrorSuccess;
}

void MemoryRegistry::SnapshotInto(Node& node, const std::string& path,
                                  std::vector<KeyImage>& out) const {
  KeyImage image;
  image.path = path;
  for (size_t i = 0; i < node.values.size(); ++i)
    image.values.push_back(node.values[ValueAt(node, i)]);
  out.push_back(std::move(image));
  for (Node* child : OrderedChildren(node))
    SnapshotInto(*child, path.empty() ? child->name : path + "\\" + child->name, out);
}

std::vector<MemoryRegistry::KeyImage> MemoryRegistry::Snapshot(RegKey root,
                                                               const std::string& path) const {
  std::vector<KeyImage> out;
  auto rootNode = m_roots.find(root);
  if (rootNode == m_roots.end()) return out;
  Node* node = rootNode->second.get();
  PathParts parts(path.c_str());
  if (parts.Check() != kErrorSuccess) return out;
  std::string canonical;
  for (std::string part; parts.Next(part);) {
    node = FindChild(*node, part);
    if (node == nullptr) return out;
    canonical = canonical.empty() ? node->name : canonical + "\\" + node->name;
  }
  SnapshotInto(*node, canonical, out);
  return out;
}

std::map<RegKey, std::vector<MemoryRegistry::KeyImage>> MemoryRegistry::SnapshotAll() const {
  std::map<RegKey, std::vector<KeyImage>> all;
  for (const auto& root : m_roots) {
    if (root.second->children.empty() && root.second->values.empty()) continue;
    all[root.first] = Snapshot(root.first);
  }
  return all;
}

}  // namespace platform
