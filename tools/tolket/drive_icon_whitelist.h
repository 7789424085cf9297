// The only registry places Tolket may touch. It runs with administrator rights and reads files
// from a folder that other users can write, so every entry is checked against this list:
// the default value of
//   HKEY_LOCAL_MACHINE Software\Microsoft\Windows\CurrentVersion\Explorer\DriveIcons\X\DefaultIcon
//   ... \DriveIcons\X\DefaultLabel
//   HKEY_CLASSES_ROOT  Applications\explorer.exe\Drives\X\DefaultIcon (and \DefaultLabel)
// with X a single drive letter that the entry's drive field names too.
#pragma once
#include <string>

#include "platform/registry.h"
#include "tavrik/icon_entry.h"

struct DriveIconTarget {
  platform::RegKey root = 0;
  // The key in canonical spelling, without trailing backslash: driveKey + "\\" + leaf.
  std::string keyPath;
  std::string driveKey;
  const char* leaf = "";
};

// Icon files and labels come from 260-byte buffers in the ejector.
constexpr size_t kMaxIconEntryData = 259;

// True when the entry names an allowed key; otherwise reason says why it was refused (in the
// user's words: it is shown to them).
bool CheckDriveIconEntry(const CIconEntry& entry, DriveIconTarget& target, std::string& reason);
