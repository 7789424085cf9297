// The NT family's list of present disks: "Services\Disk\Enum" holds one value per disk whose
// text is the disk's device instance id (besides "Count" and "NextInstance").
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "common/slot_id.h"
#include "platform/registry.h"

inline constexpr const char kDiskEnumKey[] = "System\\CurrentControlSet\\Services\\Disk\\Enum";
// The per-device key is this followed by the device instance id.
inline constexpr const char kDeviceEnumKeyPrefix[] = "System\\CurrentControlSet\\Enum\\";

// What the per-device key tells about a disk; a missing value reads as empty.
struct DiskNames {
  std::string friendlyName;
  std::string parentIdPrefix;  // names the disk's removable-media volume in XP-style records
};
// Reads them through buffers of bufferSize; false when the device key cannot be opened.
bool ReadDiskNames(platform::IRegistry& registry, const std::string& deviceId, uint32_t bufferSize,
                   DiskNames& names);

// Calls visit with the instance id of every disk whose value text contains the slot id's
// head and tail, in enumeration order, the Services key open meanwhile. False (and no call)
// when the Services key cannot be opened.
bool ForEachMatchingDisk(platform::IRegistry& registry, uint32_t bufferSize,
                         const SlotIdParts& slotId,
                         const std::function<void(const std::string& deviceId)>& visit);
