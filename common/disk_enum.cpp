#include "common/disk_enum.h"

#include "common/fixed_buffer_reads.h"
#include "platform/owners/scoped_reg_key.h"

bool ForEachMatchingDisk(platform::IRegistry& registry, uint32_t bufferSize,
                         const SlotIdParts& slotId,
                         const std::function<void(const std::string& deviceId)>& visit) {
  platform::ScopedRegKey services(registry);
  if (services.Open(platform::kHkeyLocalMachine, kDiskEnumKey, platform::kKeyRead) !=
      platform::kErrorSuccess)
    return false;
  ForEachValue(registry, services.Get(), bufferSize, [&](const EnumeratedValue& value) {
    // Every value is read as text whatever its type: a count's bytes simply fail to match.
    const std::string_view deviceId = TextViewOfValueData(value.data, value.dataBytes);
    if (ContainsSlotIdParts(deviceId, slotId)) visit(std::string(deviceId));
  });
  return true;
}

bool ReadDiskNames(platform::IRegistry& registry, const std::string& deviceId, uint32_t bufferSize,
                   DiskNames& names) {
  platform::ScopedRegKey device(registry);
  if (device.Open(platform::kHkeyLocalMachine, (kDeviceEnumKeyPrefix + deviceId).c_str(),
                  platform::kKeyRead) != platform::kErrorSuccess)
    return false;
  names.friendlyName = ReadTextValue(registry, device.Get(), "FriendlyName", bufferSize);
  names.parentIdPrefix = ReadTextValue(registry, device.Get(), "ParentIdPrefix", bufferSize);
  return true;
}
