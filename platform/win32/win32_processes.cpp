#include "platform/win32/win32_processes.h"

#include <cstddef>
#include <cstring>

#include "platform/win32/scoped_win32.h"

namespace platform {

namespace {

constexpr ULONG kSystemProcessInformation = 5;
constexpr ULONG kSystemHandleInformation = 16;
constexpr ULONG kObjectNameInformation = 1;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr LONG kStatusBufferOverflow = static_cast<LONG>(0x80000005);
constexpr LONG kStatusBufferTooSmall = static_cast<LONG>(0xC0000023);
// The handle list grows with the machine; past this something is wrong, and nothing is better.
constexpr size_t kSystemBufferLimit = 64u << 20;
// An NT name is at most 32767 characters.
constexpr size_t kNameBufferLimit = 0x10000 + 16;

struct CountedName {  // UNICODE_STRING
  USHORT length;
  USHORT maximumLength;
  const WCHAR* buffer;
};

// SYSTEM_HANDLE_TABLE_ENTRY_INFO. The process id is 16 bits wide in this old list, which
// every NT version and Wine give; the ids of the processes that hold files fit in it.
struct HandleEntry {
  USHORT processId;
  USHORT creatorBackTraceIndex;
  UCHAR objectType;
  UCHAR attributes;
  USHORT handle;
  PVOID object;
  ULONG grantedAccess;
};
struct HandleInformation {
  ULONG count;
  HandleEntry entries[1];
};

// The head of SYSTEM_PROCESS_INFORMATION, as far as it is read.
struct ProcessInformation {
  ULONG nextEntryOffset;
  ULONG threadCount;
  BYTE reserved[24];
  LARGE_INTEGER times[3];
  CountedName imageName;
  LONG basePriority;
  HANDLE processId;
};

uint32_t ToProcessId(HANDLE id) { return static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(id)); }

bool IsShortBuffer(LONG status) {
  return status == kStatusInfoLengthMismatch || status == kStatusBufferOverflow ||
         status == kStatusBufferTooSmall;
}

}  // namespace

Win32Processes::Win32Processes() {
  // Only looked up, never imported: Windows 9x has no such exports and would refuse to load
  // the program. ntdll.dll is in every NT process already.
  if (HMODULE ntdll = GetModuleHandleA("ntdll.dll")) {
    m_querySystem = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")));
    m_queryObject = reinterpret_cast<QueryObject>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryObject")));
  }
  if (HMODULE kernel = GetModuleHandleA("kernel32.dll"))
    m_queryDosDevice = reinterpret_cast<QueryDosDevice>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "QueryDosDeviceA")));
}

bool Win32Processes::QuerySystem(ULONG infoClass) {
  if (m_querySystem == nullptr) return false;
  if (m_system.size() < 0x10000) m_system.resize(0x10000);
  for (;;) {
    ULONG needed = 0;
    const LONG status = m_querySystem(infoClass, m_system.data(),
                                      static_cast<ULONG>(m_system.size()), &needed);
    if (status >= 0) return true;
    if (!IsShortBuffer(status)) return false;
    // The list may grow between two calls; some systems do not say by how much.
    size_t next = m_system.size() * 2;
    if (needed > next) next = needed + needed / 4;
    if (next > kSystemBufferLimit) return false;
    m_system.resize(next);
  }
}

bool Win32Processes::ListHandles(HandleTable& table) {
  table.handles.clear();
  if (m_querySystem == nullptr || m_queryObject == nullptr) return false;
  // The type number of file objects differs between versions: learn it from a file opened
  // here, whose entry is then left out of the list.
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  HANDLE opened = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return false;
  ScopedKernelHandle probe(opened);
  if (!QuerySystem(kSystemHandleInformation)) return false;

  const auto* list = reinterpret_cast<const HandleInformation*>(m_system.data());
  const size_t room = (m_system.size() - offsetof(HandleInformation, entries)) / sizeof(HandleEntry);
  const size_t count = list->count < room ? list->count : room;
  const USHORT self = static_cast<USHORT>(GetCurrentProcessId());
  const USHORT probeValue = static_cast<USHORT>(reinterpret_cast<ULONG_PTR>(probe.Get()));
  bool typeKnown = false;
  table.handles.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const HandleEntry& entry = list->entries[i];
    if (entry.processId == self && entry.handle == probeValue) {
      table.fileType = entry.objectType;
      typeKnown = true;
      continue;
    }
    table.handles.push_back({entry.processId, entry.handle, entry.objectType});
  }
  if (!typeKnown) table.handles.clear();
  return typeKnown;
}

bool Win32Processes::QueryName(HANDLE handle, std::vector<unsigned char>& buffer,
                               std::u16string& name) const {
  if (buffer.size() < 0x1000) buffer.resize(0x1000);
  ULONG needed = 0;
  LONG status = m_queryObject(handle, kObjectNameInformation, buffer.data(),
                              static_cast<ULONG>(buffer.size()), &needed);
  if (IsShortBuffer(status) && needed > buffer.size() && needed <= kNameBufferLimit) {
    buffer.resize(needed);
    status = m_queryObject(handle, kObjectNameInformation, buffer.data(),
                           static_cast<ULONG>(buffer.size()), &needed);
  }
  if (status < 0) return false;
  const auto* counted = reinterpret_cast<const CountedName*>(buffer.data());
  if (counted->buffer == nullptr) return false;
  name.assign(reinterpret_cast<const char16_t*>(counted->buffer), counted->length / 2);
  return true;
}

void Win32Processes::NameDiskFiles(uint32_t processId, const std::vector<uint32_t>& handles,
                                   const std::function<bool(const std::u16string&)>& visit) {
  if (m_queryObject == nullptr) return;
  ScopedKernelHandle process(OpenProcess(PROCESS_DUP_HANDLE, FALSE, processId));
  if (!process) return;
  // Each call has its buffer of its own: a worker left stuck in one call may wake while
  // another runs.
  std::vector<unsigned char> buffer;
  std::u16string name;
  for (uint32_t value : handles) {
    name.clear();
    HANDLE copy = nullptr;
    if (DuplicateHandle(process.Get(), reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)),
                        GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
      ScopedKernelHandle owned(copy);
      // Only files on a disk (files, folders, volumes) go on to the name query. Both calls
      // wait on the file object's lock while a synchronous request is pending on it: that is
      // why this runs on a worker the caller can leave behind.
      if (GetFileType(copy) != FILE_TYPE_DISK || !QueryName(copy, buffer, name)) name.clear();
    }
    if (!visit(name)) return;
  }
}

bool Win32Processes::DriveDevice(char letter, std::u16string& device) {
  if (m_queryDosDevice == nullptr) return false;
  const char drive[3] = {letter, ':', '\0'};
  char target[512] = {};
  if (m_queryDosDevice(drive, target, sizeof target - 1) == 0 || target[0] == '\0') return false;
  // The first of the targets is the one in force; device names are ASCII.
  device.assign(target, target + std::strlen(target));
  return true;
}

bool Win32Processes::ListProcesses(std::vector<ProcessEntry>& processes) {
  processes.clear();
  if (!QuerySystem(kSystemProcessInformation)) return false;
  const unsigned char* base = m_system.data();
  const size_t size = m_system.size();
  size_t offset = 0;
  while (offset + sizeof(ProcessInformation) <= size) {
    const auto* info = reinterpret_cast<const ProcessInformation*>(base + offset);
    ProcessEntry entry;
    entry.processId = ToProcessId(info->processId);
    const auto* text = reinterpret_cast<const unsigned char*>(info->imageName.buffer);
    const size_t chars = info->imageName.length / 2;
    // The name lies inside the returned block; anything else is not read.
    if (text != nullptr && text >= base && text + chars * 2 <= base + size && chars > 0) {
      char ansi[MAX_PATH * 2] = {};
      const int written = WideCharToMultiByte(CP_ACP, 0, info->imageName.buffer,
                                              static_cast<int>(chars), ansi, sizeof ansi - 1,
                                              nullptr, nullptr);
      if (written > 0) entry.exeName.assign(ansi, static_cast<size_t>(written));
    }
    processes.push_back(entry);
    if (info->nextEntryOffset == 0) break;
    offset += info->nextEntryOffset;
  }
  return true;
}

}  // namespace platform
