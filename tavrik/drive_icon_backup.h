// The "BackData" rule for Explorer's drive icon and label keys. Tavrik writes those keys itself
// where it may, and Tolket writes them for it with administrator rights; both keep and put back
// an earlier value the same way, so whichever of the two comes later understands the other's
// backup.
#pragma once
#include <string>

#include "platform/registry.h"

// Reads a text value the way the ejector does, into a 256-byte buffer; false when it cannot.
bool ReadDriveIconText(platform::IRegistry& registry, platform::RegKey key, const char* name,
                       std::string& text);

// Sets the open key's default value to wanted, first keeping a different earlier value in
// "BackData" unless a backup exists already: the backup always holds the value from before
// the first change. True when the default value was set.
bool WriteDriveIconValue(platform::IRegistry& registry, platform::RegKey key,
                         const std::string& wanted);

// Empties the open key's default value, then puts the backup back and deletes "BackData" if
// there is one. True when a backup came back; otherwise the caller takes its key away.
bool RestoreDriveIconValue(platform::IRegistry& registry, platform::RegKey key);

// Deletes the key parentPath\subKey under root, only while it has no subkeys (as NT's
// RegDeleteKeyA, which 9x's is not).
long DeleteDriveIconSubKey(platform::IRegistry& registry, platform::RegKey root,
                           const std::string& parentPath, const char* subKey);
