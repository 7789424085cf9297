#include "tavrik/icon_data_folder.h"

IconDataFolders IconDataFolderChain(const std::string& windowsDirectory,
                                    const std::string& userName) {
  IconDataFolders folders;
  std::string drive = windowsDirectory.empty() ? std::string() : windowsDirectory.substr(0, 1);
  folders.maker = drive + ":\\ProgramData\\Norvell\\";
  folders.program = folders.maker + "Tavrik\\";
  folders.user = folders.program + userName + "\\";
  return folders;
}

std::string IconDataFolderPath(const std::string& windowsDirectory, const std::string& userName) {
  return IconDataFolderChain(windowsDirectory, userName).user;
}
