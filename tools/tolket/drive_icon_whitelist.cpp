#include "tools/tolket/drive_icon_whitelist.h"

#include <cctype>

namespace {

struct AllowedRoot {
  const char* name;
  platform::RegKey key;
  const char* prefix;
};

const AllowedRoot kAllowedRoots[] = {
    {"HKEY_LOCAL_MACHINE", platform::kHkeyLocalMachine,
     "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons\\"},
    {"HKEY_CLASSES_ROOT", platform::kHkeyClassesRoot, "Applications\\explorer.exe\\Drives\\"},
};

const char* const kAllowedLeaves[] = {"DefaultIcon", "DefaultLabel"};

// Registry names compare without regard to ASCII case; every allowed name is plain ASCII.
bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x >= 0x80 || y >= 0x80) {
      if (x != y) return false;
    } else if (std::toupper(x) != std::toupper(y)) {
      return false;
    }
  }
  return true;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char UpperLetter(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool Refuse(std::string& reason, const char* why) {
  reason = why;
  return false;
}

}  // namespace

bool CheckDriveIconEntry(const CIconEntry& entry, DriveIconTarget& target, std::string& reason) {
  const AllowedRoot* root = nullptr;
  for (const AllowedRoot& candidate : kAllowedRoots)
    if (entry.m_strRoot == candidate.name) root = &candidate;
  if (root == nullptr) return Refuse(reason, "許可されていないルートキーです");
  if (!entry.m_strValueName.empty()) return Refuse(reason, "既定の値のほかは書き込めません");

  std::string path = entry.m_strKeyPath;
  if (!path.empty() && path.back() == '\\') path.pop_back();
  std::string prefix = root->prefix;
  if (path.size() < prefix.size() + 3 ||
      !EqualsIgnoringAsciiCase(path.substr(0, prefix.size()), prefix))
    return Refuse(reason, "許可されていないキーです");
  char letter = path[prefix.size()];
  if (!IsDriveLetter(letter) || path[prefix.size() + 1] != '\\')
    return Refuse(reason, "許可されていないキーです");
  std::string leaf = path.substr(prefix.size() + 2);
  const char* allowedLeaf = nullptr;
  for (const char* candidate : kAllowedLeaves)
    if (EqualsIgnoringAsciiCase(leaf, candidate)) allowedLeaf = candidate;
  if (allowedLeaf == nullptr) return Refuse(reason, "許可されていないキーです");

  if (entry.m_strDrive.size() != 1 || UpperLetter(entry.m_strDrive[0]) != UpperLetter(letter))
    return Refuse(reason, "ドライブ名がキーと合っていません");
  if (entry.m_strData.size() > kMaxIconEntryData) return Refuse(reason, "データが長すぎます");

  target.root = root->key;
  target.driveKey = prefix + UpperLetter(letter);
  target.leaf = allowedLeaf;
  target.keyPath = target.driveKey + "\\" + allowedLeaf;
  return true;
}
