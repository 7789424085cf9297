// slotdrive holders (Windows build): the programs that hold a drive of the running system
// open, one per line as the ejector names them. --time adds, on standard error, how long the
// lookup took and over how many handles, to keep an eye on its cost on a busy machine.
#ifdef SLOTDRIVE_LIVE
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "platform/win32/win32_processes.h"
#include "tavrik/drive_holders.h"
#include "tools/slotdrive/command_line.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/console_text.h"
#include "tools/slotdrive/drive_list.h"

namespace slotdrive {

namespace {

// Passes every question on and counts the handles listed and the names given.
class CountingProcesses : public platform::IProcesses {
 public:
  explicit CountingProcesses(platform::IProcesses& inner) : m_inner(inner) {}
  bool ListHandles(platform::HandleTable& table) override {
    const bool listed = m_inner.ListHandles(table);
    handles = table.handles.size();
    return listed;
  }
  void NameDiskFiles(uint32_t processId, const std::vector<uint32_t>& offered,
                     const std::function<bool(const std::u16string&)>& visit) override {
    m_inner.NameDiskFiles(processId, offered, [&](const std::u16string& name) {
      if (!name.empty()) ++named;
      return visit(name);
    });
  }
  bool DriveDevice(char letter, std::u16string& device) override {
    return m_inner.DriveDevice(letter, device);
  }
  bool ListProcesses(std::vector<platform::ProcessEntry>& processes) override {
    return m_inner.ListProcesses(processes);
  }
  size_t handles = 0;
  std::atomic<size_t> named{0};  // counted on the lookup's workers

 private:
  platform::IProcesses& m_inner;
};

}  // namespace

int RunHolders(const std::vector<std::string>& args) {
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args, {{"time", false, false}}, error)) return Refuse("holders", error);
  if (commandLine.Positionals().size() != 1)
    return Refuse("holders", "give one drive letter (slotdrive holders --help)");
  char letter = 0;
  if (!ParseDriveLetter(commandLine.Positionals()[0], "LETTER", letter, error))
    return Refuse("holders", error);

  platform::Win32Processes system;
  CountingProcesses counting(system);
  std::vector<CDriveHolder> holders;
  // GetTickCount counts in milliseconds everywhere (Wine) or in 10 to 16 ms steps (Windows),
  // which is enough to see a lookup of about 100 ms.
  const DWORD start = GetTickCount();
  const bool found = FindDriveHolders(counting, letter, holders);
  const DWORD elapsed = GetTickCount() - start;
  if (commandLine.Has("time"))
    std::fprintf(stderr, "holders: %lu ms, %u handles listed, %u names read\n",
                 static_cast<unsigned long>(elapsed), static_cast<unsigned>(counting.handles),
                 static_cast<unsigned>(counting.named));
  if (!found) {
    std::fprintf(stderr, "slotdrive holders: this system gives no handle list for %c:\n", letter);
    return kExitNegative;
  }
  std::string text;
  for (const CDriveHolder& holder : holders) text += DriveHolderLine(holder) + "\n";
  // Program names are in the system code page; the console may show another.
  PrintText(stdout, NativeText(text));
  return kExitDone;
}

}  // namespace slotdrive
#endif
