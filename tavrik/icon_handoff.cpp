// On Vista the machine-wide icon keys need administrator rights, which the ejector does not
// ask for: it hands the values to the icon program, which does, through two data files.
#include <cstdio>

#include "tavrik/ejector_dlg.h"

IconDataFolders CEjectorDlg::DataFolders() {
  char windows[256] = {};
  m_files.GetWindowsDirectoryA(windows, 255);
  char user[1024] = {};
  uint32_t userSize = sizeof user - 1;
  m_files.GetUserNameA(user, &userSize);
  return IconDataFolderChain(windows, user);
}

void CEjectorDlg::HandOffIconEntries(std::vector<CIconEntry>& entries, bool updateNeeded) {
  if (entries.empty() || !IsVersion(kOsWinVista) || !updateNeeded) {
    entries.clear();
    return;
  }
  if (m_ui.MessageBox(true,
                      "ドライブのアイコンを更新する必要があります。今すぐ更新しますか？\n "
                      "「はい」を選ぶとこの後に警告が出ますが、「許可」を選択してください。",
                      "Tavrik", platform::kMbYesNo) != platform::kIdYes) {
    entries.clear();
    return;
  }

  // The folders may exist already; a failure to create one shows when the file is opened.
  IconDataFolders folders = DataFolders();
  m_files.CreateDirectoryA(folders.maker.c_str());
  m_files.CreateDirectoryA(folders.program.c_str());
  m_files.CreateDirectoryA(folders.user.c_str());

  const std::string createFile = folders.user + kCreateDataFile;
  const std::string removeFile = folders.user + kRemoveDataFile;
  m_files.DeleteFileA(removeFile.c_str());
  const bool renamed = m_files.MoveFileA(createFile.c_str(), removeFile.c_str());

  std::string bytes;
  for (const CIconEntry& entry : entries) bytes += entry.Line();
  entries.clear();
  // Only a file that cannot be opened stops the hand-off. Once opened, "create.dat" is the
  // record of what the icon program is asked to write, and it becomes "remove.dat" at the next
  // hand-off whatever it holds: the icon program must still run now, to take away what the
  // previous "create.dat" (now "remove.dat") wrote before that record is replaced. Whatever
  // part of the list it does write is in the same file, so it is taken away at the next
  // hand-off too.
  if (m_files.WriteNewFile(createFile.c_str(), bytes) == platform::FileWrite::kNotOpened) return;

  std::string parameters = "-create:\"" + createFile + "\"";
  if (renamed) parameters += " -remove:\"" + removeFile + "\"";
  parameters += " -hidewindow";
  const std::string folder = ProgramFolder();
  if (m_shell.ShellExecute(m_window, "open", "Tolket.exe", parameters.c_str(), folder.c_str(),
                           platform::kSwShow) <= 32)
    ShowHandOffError(folder);
}
