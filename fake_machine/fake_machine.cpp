#include "fake_machine/fake_machine.h"

#include "common/os_tags.h"

namespace fake {

bool StartSystem(platform::ScriptedSystem& system, const char* osTag) {
  platform::OsVersionNumbers numbers;
  const bool known = OsNumbersForTag(osTag, numbers);
  system.SetVersionNumbers(numbers);
  system.SetDrive('C', platform::kDriveFixed);
  return known;
}

void PlugDrive(platform::ScriptedSystem& system, char letter, bool medium) {
  system.SetDrive(letter, platform::kDriveRemovable);
  system.SetMedium(letter, medium);
}

Machine::Machine(const char* osTag) { SetVersion(osTag); }

void Machine::SetVersion(const char* osTag) {
  osTagKnown = StartSystem(system, osTag);
  // A 9x machine's RegDeleteKeyA takes a key's subkeys with it.
  registry.SetSubtreeDelete(system.GetVersionNumbers().platformId == platform::kPlatformWin9x);
}

void Machine::ListNtDisk(const NtDisk& disk) {
  fake::ListNtDisk(registry, m_disksListed++, disk.instanceId, writeStatus);
  WriteNtDeviceKey(registry, disk, KeyDetail::kReadValues, writeStatus);
}

void Machine::MountNtDisk(char letter, const std::string& record, bool medium) {
  WriteMountRecord(registry, DosDevice(letter), record, writeStatus);
  PlugDrive(system, letter, medium);
}

void Machine::Plug9xDisk(const std::string& hardwareKey, const std::string& productId,
                       char letter, bool medium) {
  Devnode node;
  node.hardwareKey = hardwareKey;
  node.productId = productId;
  node.letter = letter;
  WriteDevnode(registry, m_devnodes++, node, KeyDetail::kReadValues, writeStatus);
  if (letter != 0) PlugDrive(system, letter, medium);
}

}  // namespace fake
