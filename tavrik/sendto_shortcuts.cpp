#include "tavrik/sendto_shortcuts.h"

#include "platform/owners/scoped_reg_key.h"
#include "platform/text/mbcs_text.h"
#include "tavrik/file_exists.h"

bool CSendToShortcuts::ShortcutsKept() const {
  return !(m_finder.IsFamily(kOsWinNT) && m_finder.IsVersion(kOsWinXP));
}

void CSendToShortcuts::DeleteIfPresent(const std::string& path) {
  if (!path.empty() && FileExists(m_files, path)) m_files.DeleteFileA(path.c_str());
}

std::string CSendToShortcuts::SendToFolder() {
  std::string folder;
  if (m_finder.IsFamily(kOsWinNT)) {
    platform::ScopedRegKey key(m_registry);
    if (key.Open(platform::kHkeyCurrentUser,
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                 platform::kKeyRead) != platform::kErrorSuccess)
      return std::string();
    // 260 bytes, and a value that fills them without a terminator is still taken.
    std::string value;
    if (!key.ReadText("SendTo", {260, true}, value) || value.empty())
      return std::string();  // no folder known: no shortcut in this refresh
    folder = value + "\\";
  } else {
    char system[261] = {};
    if (m_files.GetSystemDirectoryA(system, 260) == 0) return std::string();
    folder = system;
    size_t slash = MbcsFindLast(folder, '\\');
    if (slash != std::string::npos) folder.resize(slash);
    folder += "\\SendTo\\";
  }
  char shortForm[261] = {};
  uint32_t length = m_files.GetShortPathNameA(folder.c_str(), shortForm, 260);
  if (length > 0 && length < 260) folder = shortForm;
  return folder;
}

void CSendToShortcuts::RemoveRecordedShortcut(int cell) {
  if (!ShortcutsKept()) return;
  DeleteIfPresent(m_strShortcut[cell]);
  m_strShortcut[cell].clear();
}

void CSendToShortcuts::MaintainShortcut(int cell, const std::string& drive,
                                        const std::string& driveFuncs,
                                        const std::string& driveFunc) {
  if (m_finder.IsVersion(kOsWinXP) || m_finder.IsVersion(kOsWinVista)) return;
  const std::string folder = SendToFolder();
  std::string& shortcut = m_strShortcut[cell];
  if (!shortcut.empty()) {
    // A shortcut the user deleted stays recorded, and none is made again until the slot's
    // letter changes or its reader goes.
    if (!FileExists(m_files, shortcut)) return;
    m_files.DeleteFileA(shortcut.c_str());
    shortcut.clear();
  }
  if (drive == kNoDrive || folder.empty()) return;
  const std::string letter = drive.substr(0, 1);
  std::string link = folder + driveFuncs + "ドライブ" + "(" + letter + ").lnk";
  if (link.size() >= 260) return;  // does not fit the name buffer
  std::string target = drive;
  if (driveFuncs != kNoFunc) target += ":\\";
  shortcut = link;
  m_shellTools.CreateShortcut(link.c_str(), driveFunc.c_str(), target.c_str());
}

void CSendToShortcuts::SaveShortcutList(int deviceNum) {
  if (!ShortcutsKept()) return;
  ForEachCell(deviceNum, [&](const Cell& cell) {
    const std::string& shortcut = m_strShortcut[cell.index];
    if (!shortcut.empty())
      m_profile.WriteString(kShortcutList, SlotEntryName(cell.reader, cell.slot), shortcut);
  });
}

void CSendToShortcuts::RemoveListedShortcuts(int deviceNum) {
  if (!ShortcutsKept()) return;
  ForEachCell(deviceNum, [&](const Cell& cell) {
    DeleteIfPresent(m_profile.GetString(kShortcutList, SlotEntryName(cell.reader, cell.slot)));
  });
}

void CSendToShortcuts::RemoveAllShortcuts(int deviceNum) {
  if (!ShortcutsKept()) return;
  ForEachCell(deviceNum, [&](const Cell& cell) { DeleteIfPresent(m_strShortcut[cell.index]); });
}

void CSendToShortcuts::ForgetShortcutList(int deviceNum) {
  ForEachCell(deviceNum, [&](const Cell& cell) {
    m_profile.DeleteEntry(kShortcutList, SlotEntryName(cell.reader, cell.slot));
  });
}
