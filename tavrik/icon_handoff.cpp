#include "tavrik/icon_handoff.h"

#include <cstdio>

#include "platform/text/mbcs_text.h"
#include "tavrik/file_exists.h"

std::string CIconHandOff::ProgramFolder() {
  char path[260] = {};
  m_files.GetModuleFileNameA(path, sizeof path);
  path[sizeof path - 1] = '\0';
  std::string folder = path;
  size_t slash = MbcsFindLast(folder, '\\');
  folder.resize(slash == std::string::npos ? 0 : slash + 1);
  return folder;
}

IconDataFolders CIconHandOff::DataFolders() {
  char windows[256] = {};
  m_files.GetWindowsDirectoryA(windows, 255);
  char user[1024] = {};
  uint32_t userSize = sizeof user - 1;
  m_files.GetUserNameA(user, &userSize);
  return IconDataFolderChain(windows, user);
}

void CIconHandOff::StartTolket(const char* parameters) {
  const std::string folder = ProgramFolder();
  if (m_shell.ShellExecute(m_window, "open", "Tolket.exe", parameters, folder.c_str(),
                           platform::kSwShow) > 32)
    return;
  uint32_t code = m_shell.GetLastError();
  std::string message = m_shell.SystemErrorText(code);
  char text[1024];
  std::snprintf(text, sizeof text,
                "ShellExecute() \nGetLastError(dw) = 0x%x \nGetLastError(msg) = '%s' "
                "\nszDirectory(path) = '%s'",
                code, message.c_str(), folder.c_str());
  m_ui.MessageBox(true, text, "Error msg", platform::kMbIconInformation);
}

bool CIconHandOff::HasHandedOff() { return FileExists(m_files, DataFolders().user + kCreateDataFile); }

void CIconHandOff::StartRepair() { StartTolket(""); }

void CIconHandOff::HandOffIconEntries(std::vector<CIconEntry>& entries, bool updateNeeded) {
  if (entries.empty() || !m_finder.IsVersion(kOsWinVista) || !updateNeeded) {
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
  StartTolket(parameters.c_str());
}
