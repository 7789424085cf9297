#include "tests/unit/test_tavrik_machine.h"

#include "common/reader_catalogue.h"
#include "platform/scoped_reg_key.h"
#include "tavrik/reader_definition.h"

using platform::ScopedRegKey;

namespace {

void SetString(platform::IRegistry& registry, platform::RegKey root, const std::string& path,
               const std::string& name, const std::string& text) {
  ScopedRegKey key(registry);
  if (key.Create(root, path.c_str(), platform::kKeyAllAccess) != platform::kErrorSuccess) return;
  registry.SetValue(key.Get(), name.c_str(), platform::kRegSz,
                    reinterpret_cast<const uint8_t*>(text.c_str()),
                    static_cast<uint32_t>(text.size() + 1));
}

void SetNumber(platform::IRegistry& registry, const std::string& path, const std::string& name,
               uint32_t value) {
  ScopedRegKey key(registry);
  if (key.Create(platform::kHkeyLocalMachine, path.c_str(), platform::kKeyAllAccess) !=
      platform::kErrorSuccess)
    return;
  registry.SetValue(key.Get(), name.c_str(), platform::kRegDword,
                    reinterpret_cast<const uint8_t*>(&value), 4);
}

void SetUtf16(platform::IRegistry& registry, const std::string& path, const std::string& name,
              const std::string& ascii) {
  std::vector<uint8_t> data;
  for (char c : ascii) {
    data.push_back(static_cast<uint8_t>(c));
    data.push_back(0);
  }
  ScopedRegKey key(registry);
  if (key.Create(platform::kHkeyLocalMachine, path.c_str(), platform::kKeyAllAccess) !=
      platform::kErrorSuccess)
    return;
  registry.SetValue(key.Get(), name.c_str(), platform::kRegBinary, data.data(),
                    static_cast<uint32_t>(data.size()));
}

}  // namespace

std::string ReaderKeyName(int position) {
  return ReaderCatalogue()[static_cast<size_t>(position)].registryKey;
}

TavrikMachine::TavrikMachine(const char* osTag) : m_vistaRecords(std::string(osTag) == kOsWinVista) {
  platform::OsVersionNumbers numbers;
  OsNumbersForTag(osTag, numbers);
  system.SetVersionNumbers(numbers);
  system.SetDrive('C', platform::kDriveFixed);
  files.AddFile(files.modulePath);
  files.SetShortName("C:\\Program Files", "PROGRA~1");
  files.AddFolder("C:\\WINDOWS\\system32");
  SetNumber(registry, kDefinitionsKey, "DeviceNum", 0);
  SetString(registry, platform::kHkeyLocalMachine, kDefinitionsKey, "Version", "1.0.0");
}

void TavrikMachine::SetDeviceNum(unsigned count) {
  SetNumber(registry, kDefinitionsKey, "DeviceNum", count);
}

void TavrikMachine::DefineReader(int position, const std::string& friendlyName,
                                 const std::vector<TestSlot>& slots) {
  const std::string model = std::string(kDefinitionsKeyPath) + ReaderKeyName(position) + "\\";
  SetNumber(registry, model, "VID", 0x0E2D);
  SetNumber(registry, model, "PID", 0x0400 + static_cast<uint32_t>(position));
  SetNumber(registry, model, "DriveNum", static_cast<uint32_t>(slots.size()));
  SetString(registry, platform::kHkeyLocalMachine, model, "FriendlyName", friendlyName);
  SetString(registry, platform::kHkeyLocalMachine, model, "Memo", "Norvell test reader");
  for (size_t s = 0; s < slots.size(); ++s) {
    const std::string slotPath = model + "DriveItems\\Drive" + std::to_string(s) + "\\";
    SetString(registry, platform::kHkeyLocalMachine, slotPath, "DriveFunc", slots[s].func);
    SetString(registry, platform::kHkeyLocalMachine, slotPath, "DriveFuncs", slots[s].funcs);
    SetString(registry, platform::kHkeyLocalMachine, slotPath, "IconPath", slots[s].icon);
    if (!slots[s].icon.empty()) files.AddFile(slots[s].icon);
    const std::string keys = slotPath + "SearchRegKey\\";
    SetNumber(registry, keys, "Count", static_cast<uint32_t>(slots[s].keys.size()));
    for (size_t k = 0; k < slots[s].keys.size(); ++k)
      SetString(registry, platform::kHkeyLocalMachine, keys, std::to_string(k), slots[s].keys[k]);
  }
  uint8_t count = 0;
  uint32_t size = 4;
  uint32_t current = 0;
  ScopedRegKey root(registry);
  if (root.Open(platform::kHkeyLocalMachine, kDefinitionsKey, platform::kKeyRead) ==
      platform::kErrorSuccess)
    registry.QueryValue(root.Get(), "DeviceNum", nullptr, reinterpret_cast<uint8_t*>(&current),
                        &size);
  count = static_cast<uint8_t>(current);
  root.Close();
  if (count < position + 1) SetDeviceNum(static_cast<unsigned>(position + 1));
}

void TavrikMachine::PlugSlot(const std::string& slotId, char letter, bool medium,
                             const std::string& friendlyName) {
  ++m_plugged;
  const std::string instance = slotId + "&Rev_1.00\\NV00" + std::to_string(m_plugged) + "&0";
  const std::string prefix = "7&2c4e" + std::to_string(m_plugged) + "&0";
  SetString(registry, platform::kHkeyLocalMachine,
            "System\\CurrentControlSet\\Services\\Disk\\Enum", std::to_string(m_plugged - 1),
            instance);
  const std::string device = "System\\CurrentControlSet\\Enum\\" + instance;
  SetString(registry, platform::kHkeyLocalMachine, device, "FriendlyName", friendlyName);
  SetString(registry, platform::kHkeyLocalMachine, device, "ParentIdPrefix", prefix);
  std::string record = "\\??\\STORAGE#RemovableMedia#" + prefix +
                       "&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
  if (m_vistaRecords) {
    std::string id = instance.substr(std::string("USBSTOR\\").size());
    for (char& c : id)
      if (c == '\\') c = '#';
    record = "_??_USBSTOR#" + id + "#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
  }
  SetUtf16(registry, "System\\MountedDevices", std::string("\\DosDevices\\") + letter + ":",
           record);
  system.SetDrive(letter, platform::kDriveRemovable);
  system.SetMedium(letter, medium);
  volumes.AddDevice(std::string("\\\\.\\") + letter + ":");
}

void TavrikMachine::PlugSlot9x(const std::string& slotId, char letter, bool medium,
                               const std::string& productId) {
  ++m_plugged;
  const std::string hardwareKey = slotId + "_1.00\\NV00" + std::to_string(m_plugged) + "&0";
  SetString(registry, platform::kHkeyDynData,
            "Config Manager\\Enum\\C0" + std::to_string(1000 + m_plugged), "HardWareKey",
            hardwareKey);
  SetString(registry, platform::kHkeyLocalMachine, "Enum\\" + hardwareKey, "ProductId", productId);
  SetString(registry, platform::kHkeyLocalMachine, "Enum\\" + hardwareKey,
            "CurrentDriveLetterAssignment", std::string(1, letter));
  system.SetDrive(letter, platform::kDriveRemovable);
  system.SetMedium(letter, medium);
}

void TavrikMachine::UnplugAll() {
  ScopedRegKey hklm(registry);
  if (hklm.Open(platform::kHkeyLocalMachine, "System\\CurrentControlSet\\Services\\Disk",
                platform::kKeyAllAccess) == platform::kErrorSuccess)
    registry.DeleteKey(hklm.Get(), "Enum");
  for (char letter = 'D'; letter <= 'Z'; ++letter) system.RemoveDrive(letter);
}

CEjectorDlg& TavrikMachine::Start() {
  EjectorPlatform platform{registry, system, volumes, files, shell, ui, processes};
  dlg = std::make_unique<CEjectorDlg>(platform, "Tavrik");
  dlg->AttachWindow(0x1234);
  dlg->OnCreate();
  return *dlg;
}

std::string TavrikMachine::DefaultValue(platform::RegKey root, const std::string& path,
                                        const char* name) {
  ScopedRegKey key(registry);
  if (key.Open(root, path.c_str(), platform::kKeyRead) != platform::kErrorSuccess)
    return "<no key>";
  char data[300] = {};
  uint32_t size = sizeof data - 1;
  if (registry.QueryValue(key.Get(), name, nullptr, reinterpret_cast<uint8_t*>(data), &size) !=
      platform::kErrorSuccess)
    return "<none>";
  return data;
}

std::string TavrikMachine::ProfileValue(const std::string& section, const std::string& entry) {
  return DefaultValue(platform::kHkeyCurrentUser,
                      "Software\\Norvell\\Tavrik\\Settings\\Tavrik\\" + section, entry.c_str());
}
