// The process seam over the native calls of the NT family, found at run time in ntdll.dll so
// that the programs still load where they are missing (Windows 9x); there every question is
// answered with nothing.
#pragma once
#include <windows.h>

#include <vector>

#include "platform/processes.h"

namespace platform {

class Win32Processes : public IProcesses {
 public:
  Win32Processes();

  bool ListHandles(HandleTable& table) override;
  void NameDiskFiles(uint32_t processId, const std::vector<uint32_t>& handles,
                     const std::function<bool(const std::u16string&)>& visit) override;
  bool DriveDevice(char letter, std::u16string& device) override;
  bool ListProcesses(std::vector<ProcessEntry>& processes) override;

 private:
  using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  using QueryObject = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
  using QueryDosDevice = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);

  // One NtQuerySystemInformation class into m_system, grown until it fits.
  bool QuerySystem(ULONG infoClass);
  // NtQueryObject's name of a handle, through a buffer grown as needed.
  bool QueryName(HANDLE handle, std::vector<unsigned char>& buffer, std::u16string& name) const;

  QuerySystemInformation m_querySystem = nullptr;
  QueryObject m_queryObject = nullptr;
  QueryDosDevice m_queryDosDevice = nullptr;
  // Kept between calls: the handle list of a busy machine runs to a megabyte.
  std::vector<unsigned char> m_system;
};

}  // namespace platform
