#include "tests/unit/test_loscan_machine.h"

#include <cstdio>

#include "common/os_tags.h"
#include "loscan/loscan_dialog_layout.h"
#include "platform/codepage.h"
#include "platform/scoped_reg_key.h"
#include "resources/loscan/resource.h"

using platform::kHkeyCurrentUser;
using platform::kHkeyDynData;
using platform::kHkeyLocalMachine;

namespace {
constexpr char kDiskEnum[] = "System\\CurrentControlSet\\Services\\Disk\\Enum";
constexpr char kMountedDevices[] = "System\\MountedDevices";

std::string DosDevice(char letter) { return std::string("\\DosDevices\\") + letter + ":"; }

std::vector<uint8_t> Utf16Bytes(const std::string& ansi) {
  std::u16string wide;
  platform::Cp932ToUtf16(ansi, wide);
  std::vector<uint8_t> bytes;
  for (char16_t c : wide) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}
}  // namespace

LoscanMachine::LoscanMachine(const char* osTag) {
  platform::OsVersionNumbers numbers;
  OsNumbersForTag(osTag, numbers);
  system.SetVersionNumbers(numbers);
  nt_ = numbers.platformId == 2;
  // Windows 9x checks no access rights on registry handles.
  registry.SetAccessChecks(nt_);
  system.SetDrive('C', platform::kDriveFixed);
}

void LoscanMachine::SetString(platform::RegKey root, const std::string& path, const char* name,
                              const std::string& text) {
  platform::ScopedRegKey key(registry);
  if (key.Create(root, path.c_str(), platform::kKeyAllAccess) != platform::kErrorSuccess) return;
  registry.SetValue(key.Get(), name, platform::kRegSz,
                    reinterpret_cast<const uint8_t*>(text.c_str()),
                    static_cast<uint32_t>(text.size() + 1));
}

std::string LoscanMachine::XpRecord(const std::string& parentIdPrefix) {
  return "\\??\\STORAGE#RemovableMedia#" + parentIdPrefix +
         "&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
}

void LoscanMachine::AddNtDisk(const std::string& instanceId, const std::string& friendlyName,
                              const std::string& parentIdPrefix, char letter) {
  SetString(kHkeyLocalMachine, kDiskEnum, std::to_string(diskCount_++).c_str(), instanceId);
  const std::string enumKey = "System\\CurrentControlSet\\Enum\\" + instanceId;
  if (!friendlyName.empty()) SetString(kHkeyLocalMachine, enumKey, "FriendlyName", friendlyName);
  if (!parentIdPrefix.empty())
    SetString(kHkeyLocalMachine, enumKey, "ParentIdPrefix", parentIdPrefix);
  if (letter != 0) AddNtMountRecord(parentIdPrefix, letter);
}

void LoscanMachine::AddNtMountRecord(const std::string& parentIdPrefix, char letter) {
  platform::ScopedRegKey key(registry);
  if (key.Create(kHkeyLocalMachine, kMountedDevices, platform::kKeyAllAccess) !=
      platform::kErrorSuccess)
    return;
  const std::vector<uint8_t> data = Utf16Bytes(XpRecord(parentIdPrefix));
  registry.SetValue(key.Get(), DosDevice(letter).c_str(), platform::kRegBinary, data.data(),
                    static_cast<uint32_t>(data.size()));
  system.SetDrive(letter, platform::kDriveRemovable);
}

void LoscanMachine::AddVistaDisk(const std::string& usbStorageId, const std::string& instanceTail,
                                 char letter) {
  const std::string instanceId = usbStorageId + "\\" + instanceTail;
  SetString(kHkeyLocalMachine, kDiskEnum, std::to_string(diskCount_++).c_str(), instanceId);
  std::string record = "_??_" + usbStorageId + "#" + instanceTail +
                       "#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
  for (char& c : record)
    if (c == '\\') c = '#';
  platform::ScopedRegKey key(registry);
  if (key.Create(kHkeyLocalMachine, kMountedDevices, platform::kKeyAllAccess) !=
      platform::kErrorSuccess)
    return;
  const std::vector<uint8_t> data = Utf16Bytes(record);
  registry.SetValue(key.Get(), DosDevice(letter).c_str(), platform::kRegBinary, data.data(),
                    static_cast<uint32_t>(data.size()));
  system.SetDrive(letter, platform::kDriveRemovable);
}

void LoscanMachine::Add9xDisk(const std::string& hardwareKey, const std::string& productId,
                              char letter) {
  char node[16];
  std::snprintf(node, sizeof node, "C29A%04X", 0x4F30 + configCount_++);
  SetString(kHkeyDynData, std::string("Config Manager\\Enum\\") + node, "HardWareKey", hardwareKey);
  const std::string enumKey = "Enum\\" + hardwareKey;
  SetString(kHkeyLocalMachine, enumKey, "ProductId", productId);
  if (letter != 0) {
    SetString(kHkeyLocalMachine, enumKey, "CurrentDriveLetterAssignment", std::string(1, letter));
    system.SetDrive(letter, platform::kDriveRemovable);
  }
}

void LoscanMachine::AddReservation(const std::string& subKey, const std::string& remotePath) {
  const std::string root = nt_ ? "Network\\" : "Network\\Persistent\\";
  SetString(kHkeyCurrentUser, root + subKey, "RemotePath", remotePath);
}

CLoscanDlg& LoscanMachine::Open() {
  DescribeLoscanDialog(ui);
  dialog = std::make_unique<CLoscanDlg>(registry, system, ui, "Loscan");
  dialog->OnInitDialog();
  return *dialog;
}

void LoscanMachine::SelectModel(const std::string& name) {
  ui.ComboSetCurSel(IDC_DEVICE, ui.ComboFindString(IDC_DEVICE, -1, name));
  dialog->ApplyModelLayout();
}

void LoscanMachine::Choose(int row, const std::string& letter) {
  const int id = kNewLetterIds[row];
  ui.ComboSetCurSel(id, letter.empty() ? -1 : ui.ComboFindString(id, -1, letter));
}

std::string LoscanMachine::MountRecordText(char letter) {
  platform::ScopedRegKey key(registry);
  if (key.Open(kHkeyLocalMachine, kMountedDevices, platform::kKeyRead) != platform::kErrorSuccess)
    return std::string();
  uint8_t data[1024];
  uint32_t size = sizeof data;
  if (registry.QueryValue(key.Get(), DosDevice(letter).c_str(), nullptr, data, &size) !=
      platform::kErrorSuccess)
    return std::string();
  std::u16string wide;
  for (uint32_t i = 0; i + 1 < size; i += 2)
    wide.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  std::string ansi;
  platform::Utf16ToCp932(wide, ansi);
  return ansi;
}

std::string LoscanMachine::UserDriveLetter(const std::string& hardwareKey) {
  platform::ScopedRegKey key(registry);
  if (key.Open(kHkeyLocalMachine, ("Enum\\" + hardwareKey).c_str(), platform::kKeyRead) !=
      platform::kErrorSuccess)
    return std::string();
  char data[64];
  uint32_t size = sizeof data;
  if (registry.QueryValue(key.Get(), "UserDriveLetterAssignment", nullptr,
                          reinterpret_cast<uint8_t*>(data), &size) != platform::kErrorSuccess)
    return std::string();
  return std::string(data, size);
}
