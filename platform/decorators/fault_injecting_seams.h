// The seams with a fault plan in front: each call that can fail asks the plan first and, when
// told to, fails as Windows would (the error code, FALSE, INVALID_HANDLE_VALUE) without
// reaching the seam behind. The registry one also logs every change that went through, by
// path, so that a campaign can see where a program wrote.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/decorators/fault_plan.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/volume_io.h"

namespace platform {

// What a seam that answers GetLastError() failed with last: the injected error while the
// latest call failed by the plan, else the seam behind answers.
class InjectedLastError {
 public:
  // Asks the plan about one call; true when it fails.
  bool Fails(FaultPlan& plan, Seam seam, const char* function, const std::string& path) {
    const long error = plan.Check(seam, function, path);
    m_failed = error != 0;
    m_error = static_cast<uint32_t>(error);
    return m_failed;
  }
  template <typename Inner>
  uint32_t Get(Inner& inner) const { return m_failed ? m_error : inner.GetLastError(); }

 private:
  bool m_failed = false;
  uint32_t m_error = 0;
};

class FaultInjectingRegistry : public IRegistry {
 public:
  FaultInjectingRegistry(IRegistry& inner, FaultPlan& plan) : m_inner(inner), m_plan(plan) {}

  long OpenKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result) override;
  long CreateKey(RegKey parent, const char* subKey, uint32_t access, RegKey* result,
                 uint32_t* disposition) override;
  long EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameChars) override;
  long EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameChars, uint32_t* type,
                 uint8_t* data, uint32_t* dataBytes) override;
  long QueryValue(RegKey key, const char* name, uint32_t* type, uint8_t* data,
                  uint32_t* dataBytes) override;
  long SetValue(RegKey key, const char* name, uint32_t type, const uint8_t* data,
                uint32_t dataBytes) override;
  long DeleteValue(RegKey key, const char* name) override;
  long DeleteKey(RegKey parent, const char* subKey) override;
  long CloseKey(RegKey key) override;

  // The keys (and "key\value") every change that went through was made in, upper-cased.
  const std::vector<std::string>& Changes() const { return m_changes; }

 private:
  // "HKLM\PATH" of an open key, upper-cased; "?" for a handle it never saw opened.
  std::string PathOf(RegKey key) const;
  std::string Below(RegKey key, const char* subKey) const;
  long Opened(long status, RegKey parent, const char* subKey, RegKey* result);

  IRegistry& m_inner;
  FaultPlan& m_plan;
  std::map<RegKey, std::string> m_paths;
  std::vector<std::string> m_changes;
};

class FaultInjectingFiles : public IFiles {
 public:
  FaultInjectingFiles(IFiles& inner, FaultPlan& plan) : m_inner(inner), m_plan(plan) {}

  uint32_t GetShortPathNameA(const char* longPath, char* shortPath, uint32_t shortChars) override;
  uint32_t GetModuleFileNameA(char* buffer, uint32_t size) override {
    return m_inner.GetModuleFileNameA(buffer, size);
  }
  uint32_t GetSystemDirectoryA(char* buffer, uint32_t size) override {
    return m_inner.GetSystemDirectoryA(buffer, size);
  }
  uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) override {
    return m_inner.GetWindowsDirectoryA(buffer, size);
  }
  bool GetUserNameA(char* buffer, uint32_t* size) override {
    return m_inner.GetUserNameA(buffer, size);
  }
  bool CreateDirectoryA(const char* path) override;
  bool DeleteFileA(const char* path) override;
  bool MoveFileA(const char* from, const char* to) override;
  bool FileExists(const char* path) override;
  FileWrite WriteNewFile(const char* path, const std::string& bytes) override;

  // The files and folders every change that went through touched.
  const std::vector<std::string>& Changes() const { return m_changes; }

 private:
  bool Fails(const char* function, const char* path) {
    return m_plan.Check(Seam::kFiles, function, path ? path : "") != 0;
  }
  IFiles& m_inner;
  FaultPlan& m_plan;
  std::vector<std::string> m_changes;
};

class FaultInjectingShell : public IShell {
 public:
  FaultInjectingShell(IShell& inner, FaultPlan& plan) : m_inner(inner), m_plan(plan) {}

  intptr_t ShellExecute(WindowRef owner, const char* verb, const char* file,
                        const char* parameters, const char* directory, int show) override;
  bool OpenSpecialFolder(int csidl) override;
  bool CreateShortcut(const char* linkPath, const char* description,
                      const char* targetPath) override;
  bool NotifyIcon(uint32_t message, uint32_t recordSize, WindowRef window, uint32_t uId,
                  uint32_t callbackMessage, int iconId, const char* tip) override;
  uint32_t GetLastError() override { return m_lastError.Get(m_inner); }
  std::string SystemErrorText(uint32_t code) override { return m_inner.SystemErrorText(code); }

 private:
  bool Fails(const char* function, const std::string& path) {
    return m_lastError.Fails(m_plan, Seam::kShell, function, path);
  }
  IShell& m_inner;
  FaultPlan& m_plan;
  InjectedLastError m_lastError;
};

class FaultInjectingVolumeIo : public IVolumeIo {
 public:
  FaultInjectingVolumeIo(IVolumeIo& inner, FaultPlan& plan) : m_inner(inner), m_plan(plan) {}

  VolumeHandle CreateFileA(const char* path, uint32_t access, uint32_t share, uint32_t creation,
                           uint32_t flags) override;
  int DeviceIoControl(VolumeHandle handle, uint32_t code, const void* in, uint32_t inSize,
                      void* out, uint32_t outSize, uint32_t* returned) override;
  int CloseHandle(VolumeHandle handle) override { return m_inner.CloseHandle(handle); }
  uint32_t GetLastError() override { return m_lastError.Get(m_inner); }
  uint32_t BufferAddress(void* buffer, uint32_t bytes) override {
    return m_inner.BufferAddress(buffer, bytes);
  }

 private:
  IVolumeIo& m_inner;
  FaultPlan& m_plan;
  InjectedLastError m_lastError;
};

class FaultInjectingProcesses : public IProcesses {
 public:
  FaultInjectingProcesses(IProcesses& inner, FaultPlan& plan) : m_inner(inner), m_plan(plan) {}

  bool ListHandles(HandleTable& table) override;
  void NameDiskFiles(uint32_t processId, const std::vector<uint32_t>& handles,
                     const std::function<bool(const std::u16string&)>& visit) override {
    m_inner.NameDiskFiles(processId, handles, visit);
  }
  bool DriveDevice(char letter, std::u16string& device) override {
    return m_inner.DriveDevice(letter, device);
  }
  bool ListProcesses(std::vector<ProcessEntry>& processes) override;

 private:
  IProcesses& m_inner;
  FaultPlan& m_plan;
};

}  // namespace platform
