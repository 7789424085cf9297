#include "tavrik/drive_icons.h"

#include <functional>
#include <vector>

#include "platform/owners/scoped_reg_key.h"
#include "platform/text/mbcs_text.h"
#include "tavrik/drive_icon_backup.h"
#include "tavrik/icon_entry.h"

using platform::ScopedRegKey;

namespace {

const char kDriveIconsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\DriveIcons";
const char kExplorerDrivesKey[] = "Applications\\explorer.exe\\Drives";

// Sets the key's default value with the backup rule and closes the key.
void WriteWithBackup(platform::IRegistry& registry, ScopedRegKey& key, const std::string& wanted) {
  WriteDriveIconValue(registry, key.Get(), wanted);
  key.Close();
}

}  // namespace

bool CDriveIcons::ExplorerKeysUsed() const {
  return m_finder.IsFamily(kOsWinNT) || m_finder.IsVersion(kOsWinMe);
}

void CDriveIcons::ApplyDriveIcons() {
  if (m_finder.IsVersion(kOsWin95)) return;
  RemoveDriveIcons();
  std::vector<CIconEntry> entries;
  bool updateNeeded = false;
  const bool explorerKeys = ExplorerKeysUsed();

  ForEachDefinedSlot(m_definitions, [&](const Cell& cell, const CSlotDefinition& slot) {
    if (m_slots.Found(cell.index) != 1 || m_slots.Drive(cell.index) == kNoDrive) return;
    const std::string& x = m_slots.Drive(cell.index);
    const std::string& icon = slot.m_strIconPath;
    const std::string& label = m_slots.DriveFuncs(cell.index);

    const std::string machinePath = std::string(kDriveIconsKey) + "\\" + x;
    ScopedRegKey iconKey(m_registry);
    bool opened = iconKey.Create(platform::kHkeyLocalMachine,
                                 (machinePath + "\\DefaultIcon\\").c_str(),
                                 platform::kKeyAllAccess) == platform::kErrorSuccess;
    std::string current;
    if (!opened ||
        (ReadDriveIconValue(m_registry, iconKey.Get(), "", current) == platform::kErrorSuccess &&
         current != icon))
      updateNeeded = true;
    if (m_finder.IsVersion(kOsWinVista)) {
      const std::string explorerPath = std::string(kExplorerDrivesKey) + "\\" + x;
      entries.emplace_back("HKEY_LOCAL_MACHINE", machinePath + "\\DefaultIcon\\", icon, x);
      entries.emplace_back("HKEY_LOCAL_MACHINE", machinePath + "\\DefaultLabel\\", label, x);
      entries.emplace_back("HKEY_CLASSES_ROOT", explorerPath + "\\DefaultIcon\\", icon, x);
      entries.emplace_back("HKEY_CLASSES_ROOT", explorerPath + "\\DefaultLabel\\", label, x);
    }
    if (opened) {
      WriteWithBackup(m_registry, iconKey, icon);
      ScopedRegKey labelKey(m_registry);
      if (labelKey.Create(platform::kHkeyLocalMachine, (machinePath + "\\DefaultLabel\\").c_str(),
                          platform::kKeyAllAccess) == platform::kErrorSuccess)
        WriteWithBackup(m_registry, labelKey, label);
      m_strDriveIconKey[cell.index] = machinePath;
    }

    if (!explorerKeys) return;
    const std::string explorerPath = std::string(kExplorerDrivesKey) + "\\" + x;
    ScopedRegKey explorerIcon(m_registry);
    if (explorerIcon.Create(platform::kHkeyClassesRoot, (explorerPath + "\\DefaultIcon\\").c_str(),
                            platform::kKeyAllAccess) != platform::kErrorSuccess)
      return;
    WriteWithBackup(m_registry, explorerIcon, icon);
    ScopedRegKey explorerLabel(m_registry);
    if (explorerLabel.Create(platform::kHkeyClassesRoot,
                             (explorerPath + "\\DefaultLabel\\").c_str(),
                             platform::kKeyAllAccess) == platform::kErrorSuccess)
      WriteWithBackup(m_registry, explorerLabel, label);
    m_strExplorerIconKey[cell.index] = explorerPath;
  });
  m_handOff.HandOffIconEntries(entries, updateNeeded);
}

// Undoes one recorded drive key. The machine-wide pass keeps Windows 2000's emptied
// "DefaultIcon" and removes the drive's own key only on the 9x family; Explorer's pass always
// deletes both subkeys and, unless a value came back or stayed, the drive's key. A read or write
// that fails leaves the key recorded, to be tried again at the next removal; values that are
// not ours keep the retry from taking away what the first try put back.
static void UndoDriveKey(platform::IRegistry& registry, platform::RegKey root,
                         std::string& recordedPath, bool explorerPass, bool keepIconKey,
                         bool deleteDriveKey, const char* parentPath,
                         const std::function<bool(const std::string&)>& isOurs) {
  size_t slash = MbcsFindLast(recordedPath, '\\');
  std::string x = slash == std::string::npos ? recordedPath : recordedPath.substr(slash + 1);
  ScopedRegKey icon(registry);
  if (icon.Open(root, (recordedPath + "\\DefaultIcon\\").c_str(), platform::kKeyAllAccess) !=
      platform::kErrorSuccess)
    return;  // stays recorded, and is tried again at the next removal
  const DriveIconUndo iconUndo = UndoDriveIconValue(registry, icon.Get(), isOurs);
  icon.Close();
  if (iconUndo == DriveIconUndo::kFailed) return;
  if (iconUndo == DriveIconUndo::kTakenAway && !keepIconKey)
    DeleteDriveIconSubKey(registry, root, recordedPath, "DefaultIcon");

  ScopedRegKey label(registry);
  const std::string labelPath =
      recordedPath + (explorerPass ? "\\DefaultLabel\\" : "\\DefaultLabel");
  DriveIconUndo labelUndo = DriveIconUndo::kTakenAway;
  if (label.Open(root, labelPath.c_str(), platform::kKeyAllAccess) == platform::kErrorSuccess) {
    labelUndo = UndoDriveIconValue(registry, label.Get(), isOurs);
    label.Close();
    if (labelUndo == DriveIconUndo::kFailed) return;
    if (labelUndo == DriveIconUndo::kTakenAway)
      DeleteDriveIconSubKey(registry, root, recordedPath, "DefaultLabel");
  }
  const bool valueStays = iconUndo != DriveIconUndo::kTakenAway ||
                          labelUndo != DriveIconUndo::kTakenAway;
  if (!valueStays && deleteDriveKey) DeleteDriveIconSubKey(registry, root, parentPath, x.c_str());
  recordedPath.clear();
}

// Undoes each key path recorded in the cells once. Two cells can name the same key: a slot
// of one reader had F, and a slot of another reader got F later while the first record was
// still waiting to be undone, or two readers' slots got F in one run. A second undo would
// find no "BackData" (the first put it back and took it away) and delete the user's own value.
static void UndoEachKeyOnce(std::string (&paths)[kCellCount], int deviceNum,
                            const std::function<void(std::string&)>& undo) {
  const int cells = deviceNum * kCellsPerReader;
  for (int cell = 0; cell < cells; ++cell) {
    if (paths[cell].empty()) continue;
    const std::string key = MbcsUpper(paths[cell]);
    undo(paths[cell]);
    // The other cells of that key share its outcome: emptied, or kept for the next removal.
    for (int other = cell + 1; other < cells; ++other)
      if (!paths[other].empty() && MbcsUpper(paths[other]) == key) paths[other] = paths[cell];
  }
}

bool CDriveIcons::IsOurValue(const std::string& value) const {
  // What ApplyDriveIcons writes: a slot's icon file or its label, as the definitions give them.
  const std::string upper = MbcsUpper(value);
  return AnyDefinedSlot(m_definitions, [&](const Cell&, const CSlotDefinition& slot) {
    return upper == MbcsUpper(slot.m_strIconPath) || upper == MbcsUpper(slot.m_strDriveFuncs);
  });
}

void CDriveIcons::RemoveDriveIcons() {
  if (m_finder.IsVersion(kOsWin95)) return;
  // Every cell, not only those below the slot count: a record restored from a run with other
  // definitions must be undone too.
  const bool keepIconKey = m_finder.IsVersion(kOsWin2k);
  const bool deleteDriveKey = m_finder.IsFamily(kOsWin9x);
  const auto isOurs = [this](const std::string& value) { return IsOurValue(value); };
  UndoEachKeyOnce(m_strDriveIconKey, DeviceNum(), [&](std::string& path) {
    UndoDriveKey(m_registry, platform::kHkeyLocalMachine, path, false, keepIconKey,
                 deleteDriveKey, kDriveIconsKey, isOurs);
  });
  if (!ExplorerKeysUsed()) return;
  UndoEachKeyOnce(m_strExplorerIconKey, DeviceNum(), [&](std::string& path) {
    UndoDriveKey(m_registry, platform::kHkeyClassesRoot, path, true, false, true,
                 kExplorerDrivesKey, isOurs);
  });
}

void CDriveIcons::SaveIconLists() {
  // A cell whose key was undone loses its entry too: left in the settings, it would be undone
  // again at the next start after a crash, when the same key may hold another slot's value
  // with the user's in its "BackData". A key that could not be undone keeps its path, and so
  // its entry, until it is.
  ForEachCell(DeviceNum(), [&](const Cell& cell) {
    std::string entry = SlotEntryName(cell.reader, cell.slot);
    SaveEntry(kMachineKeyList, entry, m_strDriveIconKey[cell.index],
              m_bMachineKeyListed[cell.index]);
    SaveEntry(kExplorerKeyList, entry, m_strExplorerIconKey[cell.index],
              m_bExplorerKeyListed[cell.index]);
  });
}

void CDriveIcons::SaveEntry(const char* section, const std::string& entry,
                            const std::string& path, bool& listed) {
  if (!path.empty()) {
    m_profile.WriteString(section, entry, path);
    listed = true;
  } else if (listed) {
    m_profile.DeleteEntry(section, entry);
    listed = false;
  }
}

void CDriveIcons::RestoreIconLists() {
  ForEachCell(DeviceNum(), [&](const Cell& cell) {
    std::string entry = SlotEntryName(cell.reader, cell.slot);
    m_strDriveIconKey[cell.index] = m_profile.GetString(kMachineKeyList, entry);
    m_strExplorerIconKey[cell.index] = m_profile.GetString(kExplorerKeyList, entry);
    m_bMachineKeyListed[cell.index] = !m_strDriveIconKey[cell.index].empty();
    m_bExplorerKeyListed[cell.index] = !m_strExplorerIconKey[cell.index].empty();
  });
  RemoveDriveIcons();
}

void CDriveIcons::ForgetIconLists() {
  ForEachCell(DeviceNum(), [&](const Cell& cell) {
    std::string entry = SlotEntryName(cell.reader, cell.slot);
    m_profile.DeleteEntry(kMachineKeyList, entry);
    m_profile.DeleteEntry(kExplorerKeyList, entry);
    m_bMachineKeyListed[cell.index] = m_bExplorerKeyListed[cell.index] = false;
  });
}
