#include "tests/unit/test_loscan_machine.h"

#include "fake_machine/key_writer.h"
#include "loscan/loscan_dialog_layout.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/text/codepage.h"
#include "resources/loscan/resource.h"

using platform::kHkeyLocalMachine;

LoscanMachine::LoscanMachine(const char* osTag) : fake::Machine(osTag) {
  nt_ = system.GetVersionNumbers().platformId == 2;
  // Windows 9x checks no access rights on registry handles.
  registry.SetAccessChecks(nt_);
}

std::string LoscanMachine::XpRecord(const std::string& parentIdPrefix) {
  return fake::XpMountRecord(parentIdPrefix);
}

void LoscanMachine::AddNtDisk(const std::string& instanceId, const std::string& friendlyName,
                              const std::string& parentIdPrefix, char letter) {
  ListNtDisk({instanceId, friendlyName, parentIdPrefix});
  if (letter != 0) AddNtMountRecord(parentIdPrefix, letter);
}

void LoscanMachine::AddNtMountRecord(const std::string& parentIdPrefix, char letter) {
  MountNtDisk(letter, XpRecord(parentIdPrefix), false);
}

void LoscanMachine::AddVistaDisk(const std::string& usbStorageId, const std::string& instanceTail,
                                 char letter) {
  const std::string instanceId = usbStorageId + "\\" + instanceTail;
  ListNtDisk({instanceId, "", ""});
  MountNtDisk(letter, fake::VistaMountRecord(instanceId), false);
}

void LoscanMachine::Add9xDisk(const std::string& hardwareKey, const std::string& productId,
                              char letter) {
  Plug9xDisk(hardwareKey, productId, letter, false);
}

void LoscanMachine::AddReservation(const std::string& subKey, const std::string& remotePath) {
  const std::string root = nt_ ? "Network\\" : "Network\\Persistent\\";
  fake::KeyWriter(registry, platform::kHkeyCurrentUser, root + subKey, writeStatus)
      .Text("RemotePath", remotePath);
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
  if (key.Open(kHkeyLocalMachine, fake::kMountKey, platform::kKeyRead) != platform::kErrorSuccess)
    return std::string();
  uint8_t data[1024];
  uint32_t size = sizeof data;
  if (registry.QueryValue(key.Get(), fake::DosDevice(letter).c_str(), nullptr, data, &size) !=
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
