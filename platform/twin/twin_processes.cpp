#include "platform/twin/twin_processes.h"

#include "platform/worker_thread.h"

namespace platform {

namespace {

std::u16string Widen(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

char Upper(char letter) {
  return (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
}

}  // namespace

void ScriptedProcesses::AddProcess(uint32_t processId, const std::string& exeName) {
  m_processes.push_back({processId, exeName});
}

ScriptedProcesses::~ScriptedProcesses() {
  m_released = true;
  while (m_namings.load() > 0) SleepMilliseconds(1);
}

void ScriptedProcesses::Add(uint32_t processId, uint32_t handle, uint32_t objectType,
                            const std::string& name, bool diskFile, bool blocks) {
  Held held;
  held.entry = {processId, handle, objectType};
  held.name = name;
  held.diskFile = diskFile;
  held.blocks = blocks;
  m_handles.push_back(held);
}

void ScriptedProcesses::AddBlockingDiskFile(uint32_t processId, uint32_t handle,
                                            const std::string& name) {
  Add(processId, handle, kFileType, name, true, true);
}

void ScriptedProcesses::LogOffered(uint32_t processId, uint32_t handle) {
  while (m_offeredLock.test_and_set(std::memory_order_acquire)) SleepMilliseconds(0);
  m_offered.emplace_back(processId, handle);
  m_offeredLock.clear(std::memory_order_release);
}

void ScriptedProcesses::AddDiskFile(uint32_t processId, uint32_t handle, const std::string& name) {
  Add(processId, handle, kFileType, name, true);
}

void ScriptedProcesses::AddPipe(uint32_t processId, uint32_t handle, const std::string& name) {
  Add(processId, handle, kFileType, name, false);
}

void ScriptedProcesses::AddOther(uint32_t processId, uint32_t handle, uint32_t objectType,
                                 const std::string& name) {
  Add(processId, handle, objectType, name, false);
}

void ScriptedProcesses::SetDriveDevice(char letter, const std::string& device) {
  m_devices[Upper(letter)] = device;
}

bool ScriptedProcesses::ListHandles(HandleTable& table) {
  if (!m_available) return false;
  table.fileType = kFileType;
  table.handles.clear();
  for (const Held& held : m_handles) table.handles.push_back(held.entry);
  return true;
}

void ScriptedProcesses::NameDiskFiles(uint32_t processId, const std::vector<uint32_t>& handles,
                                      const std::function<bool(const std::u16string&)>& visit) {
  ++m_namings;
  for (uint32_t handle : handles) {
    std::u16string name;
    for (const Held& held : m_handles) {
      if (held.entry.processId != processId || held.entry.handle != handle) continue;
      LogOffered(processId, handle);
      while (held.blocks && !m_released) SleepMilliseconds(1);
      // As on Windows, only a file on a disk is named; anything else is passed over.
      if (held.diskFile && held.entry.objectType == kFileType) name = Widen(held.name);
    }
    if (!visit(name)) break;
  }
  --m_namings;
}

bool ScriptedProcesses::DriveDevice(char letter, std::u16string& device) {
  auto found = m_devices.find(Upper(letter));
  if (found == m_devices.end()) return false;
  device = Widen(found->second);
  return true;
}

bool ScriptedProcesses::ListProcesses(std::vector<ProcessEntry>& processes) {
  if (!m_available) return false;
  processes = m_processes;
  return true;
}

}  // namespace platform
