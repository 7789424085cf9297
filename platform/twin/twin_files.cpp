#include "platform/twin/twin_files.h"

#include <cstring>
#include <vector>

#include "platform/text/mbcs_text.h"
#include "platform/text/registry_names.h"

namespace platform {

struct MemoryFiles::Node {
  std::string name;
  std::string shortName;  // empty: the name is its own 8.3 form
  bool folder = true;
  std::map<std::string, std::unique_ptr<Node>> children;  // by upper-cased name
  std::string bytes;  // a file's content
};

namespace {

// Splits "C:\a\b" into its elements. A trail byte 0x5C of a double-byte character is part of
// its character, not a separator. False for a path that is not absolute ("X:" first) or that
// has an empty element inside; a trailing backslash is allowed.
bool SplitPath(const std::string& path, std::vector<std::string>& elements,
               bool* trailingSeparator = nullptr) {
  elements = MbcsSplit(path, '\\');
  const bool trailing = elements.size() > 1 && elements.back().empty();
  if (trailing) elements.pop_back();
  if (trailingSeparator != nullptr) *trailingSeparator = trailing;
  for (const std::string& element : elements)
    if (element.empty()) return false;
  const std::string& drive = elements.front();
  return drive.size() == 2 && drive[1] == ':' &&
         ((drive[0] >= 'A' && drive[0] <= 'Z') || (drive[0] >= 'a' && drive[0] <= 'z'));
}

std::string Fold(const std::string& name) { return FoldRegistryName(name, true); }

}  // namespace

MemoryFiles::MemoryFiles() : m_root(std::make_unique<Node>()) {}

MemoryFiles::~MemoryFiles() = default;

MemoryFiles::Node* MemoryFiles::Add(const std::string& path, bool folder) {
  std::vector<std::string> elements;
  if (!SplitPath(path, elements)) return nullptr;
  Node* node = m_root.get();
  for (size_t i = 0; i < elements.size(); ++i) {
    if (!node->folder) return nullptr;
    std::unique_ptr<Node>& child = node->children[Fold(elements[i])];
    if (!child) {
      child = std::make_unique<Node>();
      child->name = elements[i];
      child->folder = folder || i + 1 < elements.size();
    }
    node = child.get();
  }
  return node;
}

bool MemoryFiles::AddFile(const std::string& path) {
  Node* node = Add(path, false);
  return node != nullptr && !node->folder;
}

bool MemoryFiles::AddFolder(const std::string& path) {
  Node* node = Add(path, true);
  return node != nullptr && node->folder;
}

bool MemoryFiles::SetShortName(const std::string& path, const std::string& shortName) {
  Node* node = const_cast<Node*>(Find(path, nullptr));
  if (node == nullptr || node == m_root.get()) return false;
  node->shortName = shortName;
  return true;
}

bool MemoryFiles::Exists(const std::string& path) const { return Find(path, nullptr) != nullptr; }

MemoryFiles::Node* MemoryFiles::Child(const Node& folder, const std::string& element) {
  const std::string key = Fold(element);
  auto found = folder.children.find(key);
  if (found != folder.children.end()) return found->second.get();
  // An element may be given in its 8.3 form.
  for (const auto& child : folder.children)
    if (!child.second->shortName.empty() && Fold(child.second->shortName) == key)
      return child.second.get();
  return nullptr;
}

const MemoryFiles::Node* MemoryFiles::Find(const std::string& path, std::string* shortForm) const {
  std::vector<std::string> elements;
  bool trailingSeparator = false;
  if (!SplitPath(path, elements, &trailingSeparator)) return nullptr;
  const Node* node = m_root.get();
  std::string form;
  for (size_t i = 0; i < elements.size(); ++i) {
    if (!node->folder) return nullptr;
    const Node* next = Child(*node, elements[i]);
    if (next == nullptr) return nullptr;
    if (i > 0) form.push_back('\\');
    form += next->shortName.empty() ? elements[i] : next->shortName;
    node = next;
  }
  if (trailingSeparator) {
    if (!node->folder) return nullptr;  // "file.ico\" names no folder
    form.push_back('\\');
  }
  if (shortForm != nullptr) *shortForm = form;
  return node;
}

uint32_t MemoryFiles::GetShortPathNameA(const char* longPath, char* shortPath,
                                        uint32_t shortChars) {
  if (longPath == nullptr) return 0;
  std::string form;
  if (Find(longPath, &form) == nullptr) return 0;
  const uint32_t length = static_cast<uint32_t>(form.size());
  if (shortPath == nullptr || shortChars <= length) return length + 1;
  std::memcpy(shortPath, form.c_str(), form.size() + 1);
  return length;
}

namespace {
// Copies text as the Win32 calls that fill a caller's buffer do: the length without terminator,
// or the size needed (with terminator) when it does not fit, leaving the buffer alone.
uint32_t CopyOut(const std::string& text, char* buffer, uint32_t size) {
  if (buffer == nullptr || size <= text.size()) return static_cast<uint32_t>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<uint32_t>(text.size());
}
}  // namespace

uint32_t MemoryFiles::GetModuleFileNameA(char* buffer, uint32_t size) {
  // GetModuleFileNameA truncates instead of asking for more room.
  if (buffer == nullptr || size == 0) return 0;
  size_t n = modulePath.size() < size ? modulePath.size() : size - 1;
  std::memcpy(buffer, modulePath.data(), n);
  buffer[n] = '\0';
  return static_cast<uint32_t>(n);
}

uint32_t MemoryFiles::GetSystemDirectoryA(char* buffer, uint32_t size) {
  return CopyOut(systemDirectory, buffer, size);
}

uint32_t MemoryFiles::GetWindowsDirectoryA(char* buffer, uint32_t size) {
  return CopyOut(windowsDirectory, buffer, size);
}

bool MemoryFiles::GetUserNameA(char* buffer, uint32_t* size) {
  if (buffer == nullptr || size == nullptr || *size <= userName.size()) return false;
  std::memcpy(buffer, userName.c_str(), userName.size() + 1);
  *size = static_cast<uint32_t>(userName.size() + 1);
  return true;
}

MemoryFiles::Node* MemoryFiles::Parent(const std::string& path, std::string* leaf) {
  std::vector<std::string> elements;
  if (!SplitPath(path, elements) || elements.size() < 2) return nullptr;
  Node* node = m_root.get();
  for (size_t i = 0; i + 1 < elements.size(); ++i) {
    node = Child(*node, elements[i]);
    if (node == nullptr || !node->folder) return nullptr;
  }
  *leaf = elements.back();
  return node;
}

bool MemoryFiles::CreateDirectoryA(const char* path) {
  std::string leaf;
  Node* parent = path == nullptr ? nullptr : Parent(path, &leaf);
  if (parent == nullptr || parent->children.count(Fold(leaf)) != 0) return false;
  auto node = std::make_unique<Node>();
  node->name = leaf;
  parent->children[Fold(leaf)] = std::move(node);
  return true;
}

bool MemoryFiles::DeleteFileA(const char* path) {
  std::string leaf;
  Node* parent = path == nullptr ? nullptr : Parent(path, &leaf);
  if (parent == nullptr) return false;
  auto found = parent->children.find(Fold(leaf));
  if (found == parent->children.end() || found->second->folder) return false;
  parent->children.erase(found);
  return true;
}

bool MemoryFiles::MoveFileA(const char* from, const char* to) {
  std::string fromLeaf, toLeaf;
  Node* fromParent = from == nullptr ? nullptr : Parent(from, &fromLeaf);
  Node* toParent = to == nullptr ? nullptr : Parent(to, &toLeaf);
  if (fromParent == nullptr || toParent == nullptr) return false;
  auto found = fromParent->children.find(Fold(fromLeaf));
  if (found == fromParent->children.end() || toParent->children.count(Fold(toLeaf)) != 0)
    return false;
  std::unique_ptr<Node> node = std::move(found->second);
  fromParent->children.erase(found);
  node->name = toLeaf;
  node->shortName.clear();
  toParent->children[Fold(toLeaf)] = std::move(node);
  return true;
}

bool MemoryFiles::FileExists(const char* path) {
  return path != nullptr && Find(path, nullptr) != nullptr;
}

FileWrite MemoryFiles::WriteNewFile(const char* path, const std::string& bytes) {
  std::string leaf;
  Node* parent = path == nullptr ? nullptr : Parent(path, &leaf);
  if (parent == nullptr) return FileWrite::kNotOpened;
  std::unique_ptr<Node>& node = parent->children[Fold(leaf)];
  if (node && node->folder) return FileWrite::kNotOpened;
  if (!node) {
    node = std::make_unique<Node>();
    node->name = leaf;
    node->folder = false;
  }
  // Opening with "wb" has emptied the file already; a full disk keeps what fitted.
  node->bytes = bytes.substr(0, freeBytes);
  return bytes.size() <= freeBytes ? FileWrite::kWritten : FileWrite::kIncomplete;
}

bool MemoryFiles::ReadFile(const std::string& path, std::string& bytes) const {
  const Node* node = Find(path, nullptr);
  if (node == nullptr || node->folder) return false;
  bytes = node->bytes;
  return true;
}

}  // namespace platform
