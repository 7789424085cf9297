// The per-user folder where Tavrik leaves the icon data files for Tolket: the Windows
// directory's drive, then ":\ProgramData\Norvell\Tavrik\", the logon name and a backslash.
#pragma once
#include <string>

// The data files in the user's folder: what the latest hand-off asked Tolket to write, and
// what the one before it asked, for Tolket to take away.
inline constexpr char kCreateDataFile[] = "create.dat";
inline constexpr char kRemoveDataFile[] = "remove.dat";

// The three folders in the order they must be created; each path ends in a backslash.
struct IconDataFolders {
  std::string maker;    // "X:\ProgramData\Norvell"
  std::string program;  // "X:\ProgramData\Norvell\Tavrik"
  std::string user;     // "X:\ProgramData\Norvell\Tavrik\<user>", the data folder
};

IconDataFolders IconDataFolderChain(const std::string& windowsDirectory,
                                    const std::string& userName);
std::string IconDataFolderPath(const std::string& windowsDirectory, const std::string& userName);
