// A machine for the drive-discovery tests: the fake machine of one version tag, its
// registry loaded from fixture .reg files, with helpers that read and write single values.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "fake_machine/fake_machine.h"
#include "fake_machine/key_writer.h"

using fake::Utf16Le;

struct DriveMachine : fake::Machine {
  // osTag is a version tag ("WinXP") or "OTHER" for an unknown platform.
  DriveMachine(const char* osTag, std::initializer_list<const char*> fixtures);

  // Values of HKLM\System\MountedDevices, or of any key given as root and path.
  std::vector<std::string> ValueNames(platform::RegKey root, const std::string& path);
  std::vector<std::string> DriveLetterNames();
  // The record text of a "\DosDevices\X:" value, decoded from UTF-16LE; empty if missing.
  std::string MountRecord(char letter);
  void SetMountRecord(const std::string& valueName, const std::string& asciiText);
  // HKLM value as raw bytes; empty if missing.
  std::vector<uint8_t> ValueData(platform::RegKey root, const std::string& path,
                                 const std::string& name);
  void SetText(platform::RegKey root, const std::string& path, const std::string& name,
               const std::string& text);
  void SetBinary(platform::RegKey root, const std::string& path, const std::string& name,
                 const std::vector<uint8_t>& data);
  void DeleteValue(platform::RegKey root, const std::string& path, const std::string& name);
};

// Fixture keys and ids shared by the tests.
using fake::kMountKey;
inline constexpr const char* kDiskEnum = fake::kDiskEnumKey;
inline constexpr const char kCfSlot[] = "USBSTOR\\Disk&Ven_Norvell&Prod_CF_Slot";
inline constexpr const char kSdSlot[] = "USBSTOR\\Disk&Ven_Norvell&Prod_SD_MMC_Slot";
inline constexpr const char kMsSlot[] = "USBSTOR\\Disk&Ven_Norvell&Prod_MS_Slot";
inline constexpr const char kCfDisk1[] =
    "USBSTOR\\Disk&Ven_Norvell&Prod_CF_Slot&Rev_1.00\\NV0420130001&0";
inline constexpr const char kCfDisk2[] =
    "USBSTOR\\Disk&Ven_Norvell&Prod_CF_Slot&Rev_1.00\\NV0420130002&0";
inline constexpr const char kCfDiskKey1[] =
    "System\\CurrentControlSet\\Enum\\USBSTOR\\Disk&Ven_Norvell&Prod_CF_Slot&Rev_1.00\\"
    "NV0420130001&0";
inline constexpr const char kCfSlot9x[] = "SCSI\\NORVELL_CF_SLOT";
inline constexpr const char kCfDevice9x[] = "Enum\\SCSI\\NORVELL_CF_SLOT_________1.00\\NV0420130001&0";
