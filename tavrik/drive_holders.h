// Which programs hold a drive: the processes with a handle to a file, a folder or the volume
// itself on it. The NT family says so through the process seam; the 9x family cannot, and
// the lookup then finds nothing.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/processes.h"

struct CDriveHolder {
  std::string m_strProgram;  // the executable's file name; empty when the process has gone
  uint32_t m_nProcessId = 0;
};

// The holders of the drive, each process once, by process id. False (and none) when the
// system gives no handle list or the letter names no drive.
bool FindDriveHolders(platform::IProcesses& processes, char letter,
                      std::vector<CDriveHolder>& holders);

// "explorer.exe (PID 1234)".
std::string DriveHolderLine(const CDriveHolder& holder);

// What an eject failure's text is followed by: "使用中のプログラム:" and one line per holder,
// at most ten, then "ほか N 件"; empty when there are none.
std::string DriveHoldersText(const std::vector<CDriveHolder>& holders);

// Looks the holders of a drive up and appends their text to an eject failure's text.
void AppendDriveHolders(platform::IProcesses& processes, char letter, std::string& text);
