// The in-memory process seam: processes and the handles they hold, as a test sets them, and a
// log of every handle offered for naming, so a test can see that only file handles were.
#pragma once
#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/processes.h"

namespace platform {

class ScriptedProcesses : public IProcesses {
 public:
  // The type number file objects carry on the scripted machine; other objects carry others.
  static constexpr uint32_t kFileType = 28;
  static constexpr uint32_t kEventType = 9;

  void AddProcess(uint32_t processId, const std::string& exeName);
  // A file, folder or volume handle; name is its NT name in ASCII.
  void AddDiskFile(uint32_t processId, uint32_t handle, const std::string& name);
  // A file object that is no disk file (a pipe, a console): it has a name, which is never
  // given, since asking for it could block.
  void AddPipe(uint32_t processId, uint32_t handle, const std::string& name);
  // A disk file on which another program's synchronous request is pending: asking about it
  // blocks until ReleaseBlockedFiles (or the end of this object).
  void AddBlockingDiskFile(uint32_t processId, uint32_t handle, const std::string& name);
  void ReleaseBlockedFiles() { m_released = true; }
  // A handle of another object type (an event, a key) that happens to have a name.
  void AddOther(uint32_t processId, uint32_t handle, uint32_t objectType, const std::string& name);
  void SetDriveDevice(char letter, const std::string& device);
  // The system gives no handle list (Windows 9x, or the calls missing).
  void SetUnavailable() { m_available = false; }

  // Every (process, handle) the lookup offered for naming, in order.
  const std::vector<std::pair<uint32_t, uint32_t>>& Offered() const { return m_offered; }

  ScriptedProcesses() = default;
  // Releases the blocked files and waits for the namings still under way, which workers that
  // a lookup left behind may be running.
  ~ScriptedProcesses() override;
  ScriptedProcesses(const ScriptedProcesses&) = delete;
  ScriptedProcesses& operator=(const ScriptedProcesses&) = delete;

  bool ListHandles(HandleTable& table) override;
  void NameDiskFiles(uint32_t processId, const std::vector<uint32_t>& handles,
                     const std::function<bool(const std::u16string&)>& visit) override;
  bool DriveDevice(char letter, std::u16string& device) override;
  bool ListProcesses(std::vector<ProcessEntry>& processes) override;

 private:
  struct Held {
    SystemHandle entry;
    std::string name;
    bool diskFile = false;
    bool blocks = false;
  };
  void Add(uint32_t processId, uint32_t handle, uint32_t objectType, const std::string& name,
           bool diskFile, bool blocks = false);
  // The log of offered handles is written by whichever worker names.
  void LogOffered(uint32_t processId, uint32_t handle);

  bool m_available = true;
  std::vector<ProcessEntry> m_processes;
  std::vector<Held> m_handles;
  std::map<char, std::string> m_devices;  // by upper-case letter
  std::vector<std::pair<uint32_t, uint32_t>> m_offered;
  std::atomic_flag m_offeredLock = ATOMIC_FLAG_INIT;
  std::atomic<bool> m_released{false};
  std::atomic<int> m_namings{0};
};

}  // namespace platform
