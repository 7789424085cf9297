#include "common/present_devices_9x.h"

#include "common/fixed_buffer_reads.h"
#include "platform/owners/scoped_reg_key.h"

bool ForEachPresentDevice(platform::IRegistry& registry, uint32_t bufferSize,
                          uint32_t deviceAccess,
                          const std::function<void(const std::string& hardwareKey)>& visit,
                          bool* refused) {
  platform::ScopedRegKey configManager(registry);
  if (configManager.Open(platform::kHkeyDynData, kConfigManagerEnumKey, platform::kKeyRead) !=
      platform::kErrorSuccess)
    return false;
  ForEachSubkey(registry, configManager.Get(), bufferSize, [&](const std::string& name) {
    std::string hardwareKey;
    {
      platform::ScopedRegKey device(registry);
      const long status = device.Open(configManager.Get(), name.c_str(), deviceAccess);
      if (status != platform::kErrorSuccess) {
        // A devnode that went away meanwhile is simply not present any more.
        if (refused != nullptr && !platform::IsAbsentStatus(status)) *refused = true;
        return;
      }
      hardwareKey = ReadTextValue(registry, device.Get(), kHardwareKeyValue, bufferSize);
    }
    visit(hardwareKey);
  });
  return true;
}
