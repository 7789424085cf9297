// A Windows machine on the in-memory twins: the registry and the scripted system of one
// version, with USB storage disks plugged in the way the machine's family records them.
#pragma once
#include <cstdint>
#include <string>

#include "fake_machine/usb_disks.h"
#include "platform/twin/twin_registry.h"
#include "platform/twin/twin_system.h"

namespace fake {

// The scripted system of a version tag ("WinXP", "Win98", ...): its version numbers, and C:
// a fixed disk. False, and a system of unknown version, for any other tag ("OTHER").
bool StartSystem(platform::ScriptedSystem& system, const char* osTag);
// A removable drive, with or without a medium.
void PlugDrive(platform::ScriptedSystem& system, char letter, bool medium);

class Machine {
 public:
  // The system as StartSystem makes it, and an empty registry.
  explicit Machine(const char* osTag);
  // The same machine as another version, its registry kept: the version numbers, and the way
  // that family's registry deletes keys.
  void SetVersion(const char* osTag);

  // NT: a disk the disk driver lists as present, with its device key.
  void ListNtDisk(const NtDisk& disk);
  // NT: the mount record of letter and a removable drive for it.
  void MountNtDisk(char letter, const std::string& record, bool medium);
  // 9x: a present device with its product id and current letter (0: none, and no drive).
  void Plug9xDisk(const std::string& hardwareKey, const std::string& productId, char letter,
                  bool medium);

  platform::MemoryRegistry registry;
  platform::ScriptedSystem system;
  bool osTagKnown = false;
  // The first registry write that failed; 0 while all succeeded.
  long writeStatus = 0;

 private:
  uint32_t m_disksListed = 0;
  uint32_t m_devnodes = 0;
};

}  // namespace fake
