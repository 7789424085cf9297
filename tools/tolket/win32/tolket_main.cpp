// Tolket: writes the Explorer drive icon and label values that Tavrik hands over, with the
// administrator rights its manifest asks for.
//   Tolket.exe -create:"FILE" [-remove:"FILE"] -hidewindow
//   Tolket.exe                 re-applies the latest create file (icon repair)
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/win32_registry.h"
#include "tavrik/icon_data_folder.h"
#include "tools/tolket/icon_entry_file.h"
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
  std::string text = "Tolket: " + std::to_string(report.written) + " values written, " +
                     std::to_string(report.removed) + " removed.";
  for (const std::string& problem : report.problems) text += "\n" + problem;
  MessageBoxA(nullptr, text.c_str(), "Tolket",
              report.exitCode == 0 ? MB_ICONINFORMATION : MB_ICONWARNING);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  TolketArgs args;
  std::string error;
  if (!ParseTolketCommandLine(ArgumentsOf(GetCommandLineA()), args, error)) {
    MessageBoxA(nullptr, error.c_str(), "Tolket", MB_ICONWARNING);
    return kTolketBadCommandLine;
  }
  if (args.repair) args.createFile = LatestCreateFile();

  int unreadable = 0;
  std::string create, remove;
  bool haveCreate = ReadDataFile(args.createFile, create);
  if (!haveCreate) unreadable = kTolketUnreadableFile;
  bool haveRemove = false;
  if (!args.removeFile.empty()) {
    haveRemove = ReadDataFile(args.removeFile, remove);
    if (!haveRemove) unreadable = kTolketUnreadableFile;
  }

  platform::Win32Registry registry;
  TolketReport report =
      RunTolket(registry, haveCreate ? &create : nullptr, haveRemove ? &remove : nullptr);
  report.exitCode |= unreadable;
  if (unreadable) report.problems.push_back("a data file could not be read");
  if (!args.hideWindow) ShowReport(report);
  return report.exitCode;
}
