#include "tests/unit/test_tavrik_machine.h"

#include "common/os_tags.h"
#include "common/reader_catalogue.h"
#include "fake_machine/key_writer.h"
#include "fake_machine/value_text.h"
#include "platform/owners/scoped_reg_key.h"
#include "tavrik/reader_definition.h"

using platform::ScopedRegKey;

std::string ReaderKeyName(int position) {
  return ReaderCatalogue()[static_cast<size_t>(position)].registryKey;
}

TavrikMachine::TavrikMachine(const char* osTag)
    : fake::Machine(osTag), m_vistaRecords(std::string(osTag) == kOsWinVista) {
  InstallTavrik();
  fake::KeyWriter definitions(registry, platform::kHkeyLocalMachine, kDefinitionsKey,
                              writeStatus);
  definitions.Dword("DeviceNum", 0);
  definitions.Text("Version", "1.0.0");
}

void TavrikMachine::SetDeviceNum(unsigned count) {
  fake::KeyWriter(registry, platform::kHkeyLocalMachine, kDefinitionsKey, writeStatus)
      .Dword("DeviceNum", count);
}

void TavrikMachine::DefineReader(int position, const std::string& friendlyName,
                                 const std::vector<TestSlot>& slots) {
  const std::string model = std::string(kDefinitionsKeyPath) + ReaderKeyName(position) + "\\";
  {
    fake::KeyWriter reader(registry, platform::kHkeyLocalMachine, model, writeStatus);
    reader.Dword("VID", 0x0E2D);
    reader.Dword("PID", 0x0400 + static_cast<uint32_t>(position));
    reader.Dword("DriveNum", static_cast<uint32_t>(slots.size()));
    reader.Text("FriendlyName", friendlyName);
    reader.Text("Memo", "Norvell test reader");
  }
  for (size_t s = 0; s < slots.size(); ++s) {
    const std::string slotPath = model + "DriveItems\\Drive" + std::to_string(s) + "\\";
    fake::KeyWriter slot(registry, platform::kHkeyLocalMachine, slotPath, writeStatus);
    slot.Text("DriveFunc", slots[s].func);
    slot.Text("DriveFuncs", slots[s].funcs);
    slot.Text("IconPath", slots[s].icon);
    if (!slots[s].icon.empty()) files.AddFile(slots[s].icon);
    fake::KeyWriter keys(registry, platform::kHkeyLocalMachine, slotPath + "SearchRegKey\\",
                         writeStatus);
    keys.Dword("Count", static_cast<uint32_t>(slots[s].keys.size()));
    for (size_t k = 0; k < slots[s].keys.size(); ++k)
      keys.Text(std::to_string(k), slots[s].keys[k]);
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
  fake::NtDisk disk{slotId + "&Rev_1.00\\NV00" + std::to_string(m_plugged) + "&0", friendlyName,
                    "7&2c4e" + std::to_string(m_plugged) + "&0"};
  ListNtDisk(disk);
  MountNtDisk(letter,
              fake::MountRecord(disk, m_vistaRecords ? fake::MountRecordStyle::kVista
                                                     : fake::MountRecordStyle::kXp),
              medium);
  AddVolume(letter);
}

void TavrikMachine::PlugSlot9x(const std::string& slotId, char letter, bool medium,
                               const std::string& productId) {
  ++m_plugged;
  Plug9xDisk(slotId + "_1.00\\NV00" + std::to_string(m_plugged) + "&0", productId, letter, medium);
}

void TavrikMachine::UnplugAll() {
  ScopedRegKey hklm(registry);
  if (hklm.Open(platform::kHkeyLocalMachine, "System\\CurrentControlSet\\Services\\Disk",
                platform::kKeyAllAccess) == platform::kErrorSuccess)
    registry.DeleteKey(hklm.Get(), "Enum");
  for (char letter = 'D'; letter <= 'Z'; ++letter) system.RemoveDrive(letter);
}

CEjectorDlg& TavrikMachine::Start() {
  dlg = std::make_unique<CEjectorDlg>(Seams(registry, system), "Tavrik");
  dlg->AttachWindow(0x1234);
  dlg->OnCreate();
  return *dlg;
}

std::string TavrikMachine::DefaultValue(platform::RegKey root, const std::string& path,
                                        const char* name) {
  return fake::ValueText(registry, root, path, name);
}

std::string TavrikMachine::ProfileValue(const std::string& section, const std::string& entry) {
  return DefaultValue(platform::kHkeyCurrentUser,
                      "Software\\Norvell\\Tavrik\\Settings\\Tavrik\\" + section, entry.c_str());
}
