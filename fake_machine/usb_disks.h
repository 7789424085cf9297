// How Windows records a USB storage disk in its registry, written into any registry (the
// in-memory twin, or a real one for the benchmarks):
//   NT family: the disk driver's list of present disks ("Services\Disk\Enum", one value per
//     disk naming its device instance id), the device's key below "CurrentControlSet\Enum"
//     and the mount record "\DosDevices\X:" in "System\MountedDevices", XP-style through the
//     disk's ParentIdPrefix or Vista-style through the device instance id;
//   9x family: the configuration manager's present devnodes under HKEY_DYN_DATA, each naming
//     the hardware key of the device's key below HKEY_LOCAL_MACHINE "Enum\", which holds the
//     product id and the drive letter the device has now.
#pragma once
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace fake {

inline constexpr const char kDiskEnumKey[] = "System\\CurrentControlSet\\Services\\Disk\\Enum";
inline constexpr const char kDeviceEnumKey[] = "System\\CurrentControlSet\\Enum\\";
inline constexpr const char kMountKey[] = "System\\MountedDevices";
inline constexpr const char kDevnodeListKey[] = "Config Manager\\Enum";

enum class MountRecordStyle { kXp, kVista };

// What a device key holds: the values the programs read, or also the rest Windows writes
// there (descriptions, class, driver), for an image as large as a real machine's.
enum class KeyDetail { kReadValues, kFull };

// A disk as the NT family lists it; an empty friendly name or prefix is not written.
struct NtDisk {
  std::string instanceId;
  std::string friendlyName;
  std::string parentIdPrefix;  // USB disks only
};

// "\DosDevices\" + letter + ":".
std::string DosDevice(char letter);
// \??\STORAGE#RemovableMedia#<prefix>&RM#{volume class}
std::string XpMountRecord(const std::string& parentIdPrefix);
// _??_<instance id, every '\' as '#'>#{disk class}
std::string VistaMountRecord(const std::string& instanceId);
std::string MountRecord(const NtDisk& disk, MountRecordStyle style);

// The disk's value in the disk driver's list (named by its index there).
void ListNtDisk(platform::IRegistry& registry, uint32_t index, const std::string& instanceId,
                long& status);
// The disk's device key; with kReadValues and nothing to write, no key is made.
void WriteNtDeviceKey(platform::IRegistry& registry, const NtDisk& disk, KeyDetail detail,
                      long& status);
// A mount record: the value named valueName of "System\MountedDevices", the record's text
// stored as UTF-16LE.
void WriteMountRecord(platform::IRegistry& registry, const std::string& valueName,
                      const std::string& record, long& status);

// A 9x device present now; an empty product id and a letter 0 are not written.
struct Devnode {
  std::string hardwareKey;
  std::string productId;  // disks only
  char letter = 0;        // disks with a letter
  // Written with KeyDetail::kFull only.
  std::string deviceClass;
  std::string description;
};

// The configuration manager names its devnodes by handle, a hexadecimal address: the
// index-th devnode of a machine (names rise with the index, so enumeration keeps the order).
std::string DevnodeName(uint32_t index);
// The devnode DevnodeName(index) and the device key it names.
void WriteDevnode(platform::IRegistry& registry, uint32_t index, const Devnode& node,
                  KeyDetail detail, long& status);

}  // namespace fake
