// The process seam: which handles the processes of the system hold, what the disk files among
// them are called, and the executable names of the processes. The NT family gives all of it
// through its native calls; the 9x family gives none of it.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// One entry of the system handle list.
struct SystemHandle {
  uint32_t processId = 0;
  uint32_t handle = 0;     // the handle value inside its process
  uint32_t objectType = 0;  // the system's object type number
};

// The system handle list and the type number that file objects (files, folders, volumes,
// but also pipes and devices) carry in it on this system.
struct HandleTable {
  uint32_t fileType = 0;
  std::vector<SystemHandle> handles;
};

struct ProcessEntry {
  uint32_t processId = 0;
  std::string exeName;  // as the system gives it; ANSI
};

class IProcesses {
 public:
  virtual ~IProcesses() = default;

  // The handle list of every process. False when the system has no such list or refuses it
  // (Windows 9x, calls missing, no rights) or the file type number cannot be learned; then
  // nothing else of this seam is worth asking.
  virtual bool ListHandles(HandleTable& table) = 0;
  // Names the handles of one process in the order given, calling visit after each with its NT
  // name (UTF-16, e.g. "\Device\HarddiskVolume3\photo.jpg"), or with an empty name for a
  // handle that is no file on a disk or cannot be reached, until visit returns false. Asking
  // about a file object can block for as long as another program's request is pending on it,
  // so callers run this on a worker thread (visit is called there too); it keeps no state
  // between calls and may run on several threads at once.
  virtual void NameDiskFiles(uint32_t processId, const std::vector<uint32_t>& handles,
                             const std::function<bool(const std::u16string&)>& visit) = 0;
  // The NT device a drive letter stands for ("\Device\HarddiskVolume3"); false when unknown.
  virtual bool DriveDevice(char letter, std::u16string& device) = 0;
  // The running processes. False when the system cannot list them.
  virtual bool ListProcesses(std::vector<ProcessEntry>& processes) = 0;
};

}  // namespace platform
