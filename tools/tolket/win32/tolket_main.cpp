// Tolket: writes the Explorer drive icon and label values that Tavrik hands over, with the
// administrator rights its manifest asks for.
//   Tolket.exe -create:"FILE" [-remove:"FILE"] -hidewindow
//   Tolket.exe -remove:"FILE" -hidewindow     takes back what FILE had written (uninstall)
//   Tolket.exe                 re-applies the latest create file (icon repair)
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/win32_registry.h"
#include "tavrik/icon_data_folder.h"
#include "tavrik/icon_entry.h"
#include "tools/tolket/tolket_run.h"

namespace {

// The arguments after the program name, as the command line spells them.
std::string ArgumentsOf(const char* commandLine) {
  const char* p = commandLine;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
  }
  return p;
}

bool ReadDataFile(const std::string& path, std::string& content) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  content.clear();
  char buffer[4096];
  size_t n;
  bool ok = true;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    content.append(buffer, n);
    if (content.size() > kMaxIconEntryFile) {
      ok = false;
      break;
    }
  }
  std::fclose(file);
  return ok;
}

std::string LatestCreateFile() {
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, sizeof windows - 1);
  char user[1024] = {};
  DWORD userSize = sizeof user - 1;
  GetUserNameA(user, &userSize);
  return IconDataFolderPath(windows, user) + "create.dat";
}

void ShowReport(const TolketReport& report) {
  MessageBoxA(nullptr, TolketReportText(report).c_str(), "Tolket",
              report.exitCode == 0 ? MB_ICONINFORMATION : MB_ICONWARNING);
}

// Reads one named data file; an unreadable one is reported and left out of the run.
const std::string* ReadNamedFile(const std::string& path, std::string& content,
                                 TolketReport& report) {
  if (path.empty()) return nullptr;
  if (ReadDataFile(path, content)) return &content;
  report.exitCode |= kTolketUnreadableFile;
  report.problems.push_back("データファイルを読み込めませんでした: " + path);
  return nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  TolketArgs args;
  std::string error;
  if (!ParseTolketCommandLine(ArgumentsOf(GetCommandLineA()), args, error)) {
    MessageBoxA(nullptr, error.c_str(), "Tolket", MB_ICONWARNING);
    return kTolketBadCommandLine;
  }
  if (args.repair) {
    args.createFile = LatestCreateFile();
    // Tavrik leaves a create file only after handing icons over on Windows Vista; before
    // that (and on 98 to XP, where Tavrik writes the icons itself) there is nothing to repair.
    if (GetFileAttributesA(args.createFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
      MessageBoxA(nullptr, "修復が必要なドライブのアイコンはありません。", "Tolket",
                  MB_ICONINFORMATION);
      return 0;
    }
  }

  TolketReport unread;
  std::string create, remove;
  const std::string* createContent = ReadNamedFile(args.createFile, create, unread);
  const std::string* removeContent = ReadNamedFile(args.removeFile, remove, unread);

  platform::Win32Registry registry;
  TolketReport report = RunTolket(registry, createContent, removeContent);
  report.exitCode |= unread.exitCode;
  report.problems.insert(report.problems.begin(), unread.problems.begin(), unread.problems.end());
  if (!args.hideWindow) ShowReport(report);
  return report.exitCode;
}
