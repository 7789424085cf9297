// The process seam held to Windows: natively on the scripted twin, as a Windows program on the
// native calls (Wine's under Wine). The holder lookup relies on file objects, pipes among them,
// carrying the type number the list reports, and on only disk files being named.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "platform/processes.h"
#include "platform/twin/twin_processes.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/scoped_win32.h"
#include "platform/win32/win32_processes.h"
#endif

namespace {

// A process holding one file on a disk and the read end of a pipe.
struct Holder {
  uint32_t processId = 0;
  uint32_t file = 0;
  uint32_t pipe = 0;
  std::string fileName;  // the file's name without its folder, upper-cased
  std::unique_ptr<platform::IProcesses> processes;
#ifdef _WIN32
  platform::ScopedKernelHandle openFile;
  platform::ScopedKernelHandle readEnd;
  platform::ScopedKernelHandle writeEnd;
#endif
};

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
  return text;
}

#ifdef _WIN32
uint32_t Value(HANDLE handle) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)); }
#endif

std::unique_ptr<Holder> HolderUnderTest() {
  auto holder = std::make_unique<Holder>();
#ifdef _WIN32
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  holder->openFile.Reset(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, nullptr, 0);
  holder->readEnd.Reset(readEnd);
  holder->writeEnd.Reset(writeEnd);
  holder->processId = GetCurrentProcessId();
  holder->file = Value(holder->openFile.Get());
  holder->pipe = Value(readEnd);
  std::string name = path;
  holder->fileName = name.substr(name.find_last_of('\\') + 1);
  holder->processes = std::make_unique<platform::Win32Processes>();
#else
  auto twin = std::make_unique<platform::ScriptedProcesses>();
  holder->processId = 0x1F4;
  holder->file = 0x44;
  holder->pipe = 0x48;
  holder->fileName = "CONFORMANCE_TESTS.EXE";
  twin->AddProcess(holder->processId, "conformance_tests.exe");
  twin->AddDiskFile(holder->processId, holder->file, "\\??\\C:\\tests\\conformance_tests.exe");
  twin->AddPipe(holder->processId, holder->pipe, "\\Device\\NamedPipe\\Win32Pipes.0000");
  holder->processes = std::move(twin);
#endif
  holder->fileName = Upper(holder->fileName);
  return holder;
}

TEST(ProcessesConformance, FilesAndPipesAreFileObjectsOfTheListedType) {
  auto holder = HolderUnderTest();
  platform::HandleTable table;
  ASSERT_TRUE(holder->processes->ListHandles(table));
  int seen = 0;
  for (const platform::SystemHandle& entry : table.handles) {
    if (entry.processId != holder->processId) continue;
    if (entry.handle == holder->file || entry.handle == holder->pipe) {
      EXPECT_EQ(table.fileType, entry.objectType) << std::hex << entry.handle;
      ++seen;
    }
  }
  EXPECT_EQ(2, seen);
}

TEST(ProcessesConformance, OnlyTheDiskFileIsNamedAndItsNameEndsInTheFile) {
  auto holder = HolderUnderTest();
  std::vector<std::u16string> names;
  holder->processes->NameDiskFiles(holder->processId, {holder->pipe, holder->file},
                                   [&](const std::u16string& name) {
                                     names.push_back(name);
                                     return true;
                                   });
  // Every handle is answered, the pipe with no name.
  ASSERT_EQ(2u, names.size());
  EXPECT_TRUE(names[0].empty());
  names.erase(names.begin());
  // The name is ASCII here: the test program's own path.
  const std::string tail = Upper(std::string(names[0].begin(), names[0].end()));
  ASSERT_GE(tail.size(), holder->fileName.size() + 1);
  EXPECT_EQ("\\" + holder->fileName, tail.substr(tail.size() - holder->fileName.size() - 1));
}

TEST(ProcessesConformance, TheProcessIsListedWithItsExecutable) {
  auto holder = HolderUnderTest();
  std::vector<platform::ProcessEntry> processes;
  ASSERT_TRUE(holder->processes->ListProcesses(processes));
  auto self = std::find_if(processes.begin(), processes.end(),
                           [&](const platform::ProcessEntry& p) {
                             return p.processId == holder->processId;
                           });
  ASSERT_NE(processes.end(), self);
  EXPECT_NE(std::string::npos, Upper(self->exeName).find(holder->fileName)) << self->exeName;
}

}  // namespace
