// The "BackData" rule for Explorer's drive icon and label keys. Tavrik writes those keys itself
// where it may, and Tolket writes them for it with administrator rights; both keep and put back
// an earlier value the same way, so whichever of the two comes later understands the other's
// backup. Neither ever writes over a value it could not first keep, nor takes away a value it
// could not read: a refused or failed call leaves the user's value where it is.
#pragma once
#include <functional>
#include <string>

#include "platform/registry.h"

// Reads a text value the way the ejector does, into a 256-byte buffer: kErrorSuccess,
// kErrorFileNotFound when there is no such value, or the failure.
long ReadDriveIconValue(platform::IRegistry& registry, platform::RegKey key, const char* name,
                        std::string& text);

// Sets the open key's default value to wanted, first keeping a different earlier value in
// "BackData" unless a backup exists already: the backup always holds the value from before
// the first change. (An empty "BackData" is no backup: one is never empty.) Nothing is written
// when the earlier value or the backup could not be read, or the backup not be written. True
// when the default value was set.
bool WriteDriveIconValue(platform::IRegistry& registry, platform::RegKey key,
                         const std::string& wanted);

enum class DriveIconUndo {
  kRestored,   // "BackData" came back as the default value
  kTakenAway,  // no backup, and the value was ours (or none): it is emptied, the key may go
  kLeftAlone,  // no backup, and the value is someone else's: it stays, and so does the key
  kFailed,     // a read or write failed: nothing more is to be done now, the undo is retried
};

// Undoes the open key's default value. isOurs tells a value of the program's own from one the
// user or another program put there since, which an undo must not take away.
DriveIconUndo UndoDriveIconValue(platform::IRegistry& registry, platform::RegKey key,
                                 const std::function<bool(const std::string&)>& isOurs);

// Deletes the key parentPath\subKey under root, only while it has no subkeys (as NT's
// RegDeleteKeyA, which 9x's is not).
long DeleteDriveIconSubKey(platform::IRegistry& registry, platform::RegKey root,
                           const std::string& parentPath, const char* subKey);
