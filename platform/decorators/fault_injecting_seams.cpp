#include "platform/decorators/fault_injecting_seams.h"

#include "platform/text/mbcs_text.h"

namespace platform {

namespace {

std::string RootName(RegKey root) {
  switch (root) {
    case kHkeyClassesRoot: return "HKCR";
    case kHkeyCurrentUser: return "HKCU";
    case kHkeyLocalMachine: return "HKLM";
    case kHkeyUsers: return "HKU";
    case kHkeyDynData: return "HKDD";
    default: return "?";
  }
}

std::string Text(const char* text) { return text ? text : ""; }

// The volume requests by the name the campaign gives them.
const char* RequestName(uint32_t code) {
  switch (code) {
    case kFsctlLockVolume: return "Lock";
    case kFsctlDismountVolume: return "Dismount";
    case kIoctlStorageMediaRemoval: return "Removal";
    case kIoctlStorageEjectMedia: return "Eject";
    default: return "DeviceIoControl";
  }
}

}  // namespace

std::string FaultInjectingRegistry::PathOf(RegKey key) const {
  if (IsPredefinedKey(key)) return RootName(key);
  auto found = m_paths.find(key);
  return found == m_paths.end() ? "?" : found->second;
}

std::string FaultInjectingRegistry::Below(RegKey key, const char* subKey) const {
  std::string path = PathOf(key);
  std::string sub = MbcsUpper(Text(subKey));
  while (!sub.empty() && sub.back() == '\\') sub.pop_back();
  return sub.empty() ? path : path + "\\" + sub;
}

long FaultInjectingRegistry::Opened(long status, RegKey parent, const char* subKey,
                                    RegKey* result) {
  if (status == kErrorSuccess && result != nullptr) m_paths[*result] = Below(parent, subKey);
  return status;
}

long FaultInjectingRegistry::OpenKey(RegKey parent, const char* subKey, uint32_t access,
                                     RegKey* result) {
  if (long error = m_plan.Check(Seam::kRegistry, "OpenKey", Below(parent, subKey))) return error;
  return Opened(m_inner.OpenKey(parent, subKey, access, result), parent, subKey, result);
}

long FaultInjectingRegistry::CreateKey(RegKey parent, const char* subKey, uint32_t access,
                                       RegKey* result, uint32_t* disposition) {
  const std::string path = Below(parent, subKey);
  if (long error = m_plan.Check(Seam::kRegistry, "CreateKey", path)) return error;
  uint32_t created = 0;
  long status = m_inner.CreateKey(parent, subKey, access, result, &created);
  if (disposition != nullptr) *disposition = created;
  if (status == kErrorSuccess && created == 1) m_changes.push_back(path);  // REG_CREATED_NEW_KEY
  return Opened(status, parent, subKey, result);
}

long FaultInjectingRegistry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameChars) {
  if (long error = m_plan.Check(Seam::kRegistry, "EnumKey", PathOf(key))) return error;
  return m_inner.EnumKey(key, index, name, nameChars);
}

long FaultInjectingRegistry::EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameChars,
                                       uint32_t* type, uint8_t* data, uint32_t* dataBytes) {
  if (long error = m_plan.Check(Seam::kRegistry, "EnumValue", PathOf(key))) return error;
  return m_inner.EnumValue(key, index, name, nameChars, type, data, dataBytes);
}

long FaultInjectingRegistry::QueryValue(RegKey key, const char* name, uint32_t* type,
                                        uint8_t* data, uint32_t* dataBytes) {
  const std::string path = PathOf(key) + "\\" + MbcsUpper(Text(name));
  if (long error = m_plan.Check(Seam::kRegistry, "QueryValue", path)) return error;
  return m_inner.QueryValue(key, name, type, data, dataBytes);
}

long FaultInjectingRegistry::SetValue(RegKey key, const char* name, uint32_t type,
                                      const uint8_t* data, uint32_t dataBytes) {
  const std::string path = PathOf(key) + "\\" + MbcsUpper(Text(name));
  if (long error = m_plan.Check(Seam::kRegistry, "SetValue", path)) return error;
  long status = m_inner.SetValue(key, name, type, data, dataBytes);
  if (status == kErrorSuccess) m_changes.push_back(path);
  return status;
}

long FaultInjectingRegistry::DeleteValue(RegKey key, const char* name) {
  const std::string path = PathOf(key) + "\\" + MbcsUpper(Text(name));
  if (long error = m_plan.Check(Seam::kRegistry, "DeleteValue", path)) return error;
  long status = m_inner.DeleteValue(key, name);
  if (status == kErrorSuccess) m_changes.push_back(path);
  return status;
}

long FaultInjectingRegistry::DeleteKey(RegKey parent, const char* subKey) {
  const std::string path = Below(parent, subKey);
  if (long error = m_plan.Check(Seam::kRegistry, "DeleteKey", path)) return error;
  long status = m_inner.DeleteKey(parent, subKey);
  if (status == kErrorSuccess) m_changes.push_back(path);
  return status;
}

long FaultInjectingRegistry::CloseKey(RegKey key) {
  m_paths.erase(key);
  return m_inner.CloseKey(key);
}

uint32_t FaultInjectingFiles::GetShortPathNameA(const char* longPath, char* shortPath,
                                                uint32_t shortChars) {
  if (Fails("GetShortPathNameA", longPath)) return 0;
  return m_inner.GetShortPathNameA(longPath, shortPath, shortChars);
}

bool FaultInjectingFiles::CreateDirectoryA(const char* path) {
  if (Fails("CreateDirectoryA", path)) return false;
  bool made = m_inner.CreateDirectoryA(path);
  if (made) m_changes.push_back(Text(path));
  return made;
}

bool FaultInjectingFiles::DeleteFileA(const char* path) {
  if (Fails("DeleteFileA", path)) return false;
  bool deleted = m_inner.DeleteFileA(path);
  if (deleted) m_changes.push_back(Text(path));
  return deleted;
}

bool FaultInjectingFiles::MoveFileA(const char* from, const char* to) {
  if (Fails("MoveFileA", from)) return false;
  bool moved = m_inner.MoveFileA(from, to);
  if (moved) {
    m_changes.push_back(Text(from));
    m_changes.push_back(Text(to));
  }
  return moved;
}

bool FaultInjectingFiles::FileExists(const char* path) {
  if (Fails("FileExists", path)) return false;
  return m_inner.FileExists(path);
}

FileWrite FaultInjectingFiles::WriteNewFile(const char* path, const std::string& bytes) {
  if (long error = m_plan.Check(Seam::kFiles, "WriteNewFile", Text(path))) {
    // A full disk takes what fits, here nothing; any other failure leaves no file.
    if (error != kErrorDiskFull) return FileWrite::kNotOpened;
    m_inner.WriteNewFile(path, std::string());
    m_changes.push_back(Text(path));
    return FileWrite::kIncomplete;
  }
  FileWrite written = m_inner.WriteNewFile(path, bytes);
  if (written != FileWrite::kNotOpened) m_changes.push_back(Text(path));
  return written;
}

intptr_t FaultInjectingShell::ShellExecute(WindowRef owner, const char* verb, const char* file,
                                           const char* parameters, const char* directory,
                                           int show) {
  if (Fails("ShellExecute", Text(file))) return 2;  // SE_ERR_FNF
  return m_inner.ShellExecute(owner, verb, file, parameters, directory, show);
}

bool FaultInjectingShell::OpenSpecialFolder(int csidl) {
  if (Fails("OpenSpecialFolder", std::to_string(csidl))) return false;
  return m_inner.OpenSpecialFolder(csidl);
}

bool FaultInjectingShell::CreateShortcut(const char* linkPath, const char* description,
                                         const char* targetPath) {
  // CoCreateInstance refused, or the link not saved: either way no file.
  if (Fails("CreateShortcut", Text(linkPath))) return false;
  return m_inner.CreateShortcut(linkPath, description, targetPath);
}

bool FaultInjectingShell::NotifyIcon(uint32_t message, uint32_t recordSize, WindowRef window,
                                     uint32_t uId, uint32_t callbackMessage, int iconId,
                                     const char* tip) {
  static const char* const kNames[] = {"NotifyIcon:add", "NotifyIcon:modify", "NotifyIcon:delete"};
  if (Fails(message <= kNimDelete ? kNames[message] : "NotifyIcon", std::to_string(iconId)))
    return false;
  return m_inner.NotifyIcon(message, recordSize, window, uId, callbackMessage, iconId, tip);
}

VolumeHandle FaultInjectingVolumeIo::CreateFileA(const char* path, uint32_t access,
                                                 uint32_t share, uint32_t creation,
                                                 uint32_t flags) {
  if (m_lastError.Fails(m_plan, Seam::kVolume, "Open", Text(path))) return kInvalidVolumeHandle;
  return m_inner.CreateFileA(path, access, share, creation, flags);
}

int FaultInjectingVolumeIo::DeviceIoControl(VolumeHandle handle, uint32_t code, const void* in,
                                            uint32_t inSize, void* out, uint32_t outSize,
                                            uint32_t* returned) {
  if (m_lastError.Fails(m_plan, Seam::kVolume, RequestName(code), std::to_string(handle)))
    return 0;
  return m_inner.DeviceIoControl(handle, code, in, inSize, out, outSize, returned);
}

bool FaultInjectingProcesses::ListHandles(HandleTable& table) {
  if (m_plan.Check(Seam::kProcesses, "ListHandles", "")) return false;
  return m_inner.ListHandles(table);
}

bool FaultInjectingProcesses::ListProcesses(std::vector<ProcessEntry>& processes) {
  if (m_plan.Check(Seam::kProcesses, "ListProcesses", "")) return false;
  return m_inner.ListProcesses(processes);
}

}  // namespace platform
