// SendTo shortcuts to the slots' roots, kept only as long as a slot keeps its letter, on the
// systems whose Explorer has no per-drive labels of its own (98, Me, NT 4 and 2000).
#include "platform/mbcs_text.h"
#include "platform/scoped_reg_key.h"
#include "tavrik/ejector_dlg.h"

bool CEjectorDlg::ShortcutsKept() const { return !(IsFamily(kOsWinNT) && IsVersion(kOsWinXP)); }

std::string CEjectorDlg::SendToFolder() {
  std::string folder;
  if (IsFamily(kOsWinNT)) {
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

void CEjectorDlg::RemoveRecordedShortcut(int cell) {
  if (!ShortcutsKept()) return;
  std::string& shortcut = m_strShortcut[cell];
  if (!shortcut.empty() && FileExists(shortcut)) m_files.DeleteFileA(shortcut.c_str());
  shortcut.clear();
}

void CEjectorDlg::MaintainShortcut(int cell) {
  if (IsVersion(kOsWinXP) || IsVersion(kOsWinVista)) return;
  const std::string folder = SendToFolder();
  std::string& shortcut = m_strShortcut[cell];
  if (!shortcut.empty()) {
    // A shortcut the user deleted stays recorded, and none is made again until the slot's
    // letter changes or its reader goes.
    if (!FileExists(shortcut)) return;
    m_files.DeleteFileA(shortcut.c_str());
    shortcut.clear();
  }
  if (m_strDrive[cell] == kNoDrive || folder.empty()) return;
  const std::string letter = m_strDrive[cell].substr(0, 1);
  std::string link = folder + m_strDriveFuncs[cell] + "ドライブ" + "(" + letter + ").lnk";
  if (link.size() >= 260) return;  // does not fit the name buffer
  std::string target = m_strDrive[cell];
  if (m_strDriveFuncs[cell] != kNoFunc) target += ":\\";
  shortcut = link;
  m_shellTools.CreateShortcut(link.c_str(), m_strDriveFunc[cell].c_str(), target.c_str());
}
