// The 9x family's present devices: "Config Manager\Enum" under HKEY_DYN_DATA holds one
// subkey per device present now, whose "HardWareKey" names the device's key below
// HKEY_LOCAL_MACHINE "Enum\".
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/registry.h"

inline constexpr const char kConfigManagerEnumKey[] = "Config Manager\\Enum";
inline constexpr const char kHardwareKeyValue[] = "HardWareKey";
// The device key is this followed by the hardware key.
inline constexpr const char kHardwareEnumKeyPrefix[] = "Enum\\";
inline constexpr const char kProductIdValue[] = "ProductId";
inline constexpr const char kCurrentDriveLetterValue[] = "CurrentDriveLetterAssignment";
inline constexpr const char kUserDriveLetterValue[] = "UserDriveLetterAssignment";

// Calls visit with the hardware key of every present device, in enumeration order; each
// device subkey is opened with deviceAccess and closed again before the call. False (and no
// call) when the configuration manager key cannot be opened. A device whose key is there but
// cannot be opened is passed over, and sets *refused when given (a writer must not report
// success then).
bool ForEachPresentDevice(platform::IRegistry& registry, uint32_t bufferSize,
                          uint32_t deviceAccess,
                          const std::function<void(const std::string& hardwareKey)>& visit,
                          bool* refused = nullptr);
