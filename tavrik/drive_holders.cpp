#include "tavrik/drive_holders.h"

#include <atomic>
#include <map>
#include <memory>

#include "platform/text/mbcs_text.h"
#include "platform/worker_thread.h"
#include "tavrik/drive_letter.h"
#include "tavrik/format_text.h"

namespace {

constexpr size_t kHoldersShown = 10;
// A handle whose questions have not been answered within this long is passed over: another
// program's request is pending on it, and may stay so for good.
constexpr uint32_t kHandleDeadline = 100;
// The whole lookup ends after this long with what it has found: the user waits for the box.
constexpr uint32_t kLookupDeadline = 2000;
// Workers left stuck are never ended, so only a few are left before the lookup gives up.
constexpr int kAbandonedWorkersCap = 4;

char16_t FoldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c; }

// A name on the drive is the drive's own name or lies below it; "\??\F:" must not take in
// "\??\F:x" and "\Device\HarddiskVolume1" must not take in "\Device\HarddiskVolume10".
bool IsOnDrive(const std::u16string& name, const std::u16string& root) {
  if (root.empty() || name.size() < root.size()) return false;
  for (size_t i = 0; i < root.size(); ++i)
    if (FoldAscii(name[i]) != FoldAscii(root[i])) return false;
  return name.size() == root.size() || name[root.size()] == u'\\';
}

// What one worker's naming of a process's handles has come to. The worker holds it too and may
// outlive the lookup.
struct Naming {
  std::atomic<size_t> done{0};   // handles answered, in order
  std::atomic<bool> holds{false};
  std::atomic<bool> stop{false};  // the lookup has left; a worker still running ends early
};

// The names of one process's handles, asked on workers, until one is on the drive. A worker
// that answers no handle within the deadline is left behind and a fresh one goes on after its
// handle; abandoned counts the workers left stuck in the whole lookup. False when the process
// was not looked at to the end (time or workers ran out).
bool ProcessHoldsDrive(platform::IProcesses& processes, uint32_t processId,
                       const std::vector<uint32_t>& handles,
                       const std::vector<std::u16string>& roots, uint32_t start, int& abandoned,
                       bool& holds) {
  holds = false;
  size_t next = 0;
  while (next < handles.size()) {
    auto naming = std::make_shared<Naming>();
    std::vector<uint32_t> rest(handles.begin() + static_cast<std::ptrdiff_t>(next), handles.end());
    platform::IProcesses* seam = &processes;
    platform::WorkerThread worker([seam, processId, rest, roots, naming] {
      seam->NameDiskFiles(processId, rest, [&](const std::u16string& name) {
        ++naming->done;
        for (const std::u16string& root : roots)
          if (!name.empty() && IsOnDrive(name, root)) naming->holds = true;
        return !naming->holds && !naming->stop;
      });
    });
    if (!worker.Started()) return false;
    size_t seen = 0;
    for (;;) {
      const uint32_t spent = platform::TickCount() - start;
      const uint32_t left = spent < kLookupDeadline ? kLookupDeadline - spent : 0;
      const bool ended = worker.Wait(left < kHandleDeadline ? left : kHandleDeadline);
      if (naming->holds) {
        holds = true;
        return true;
      }
      if (ended) return true;
      const size_t done = naming->done;
      if (left <= kHandleDeadline || (done == seen && ++abandoned >= kAbandonedWorkersCap)) {
        naming->stop = true;
        return false;
      }
      if (done == seen) {
        // Stuck on the handle after the last one answered: the next worker starts past it.
        naming->stop = true;
        next += done + 1;
        break;
      }
      seen = done;
    }
  }
  return true;
}

}  // namespace

bool FindDriveHolders(platform::IProcesses& processes, char letter,
                      std::vector<CDriveHolder>& holders) {
  holders.clear();
  if (!IsDriveLetter(letter)) return false;
  platform::HandleTable table;
  if (!processes.ListHandles(table)) return false;

  // Wine names files by their DOS path ("\??\F:\..."), Windows by the volume's device.
  std::vector<std::u16string> roots{u"\\??\\" + std::u16string(1, FoldAscii(letter)) + u":"};
  std::u16string device;
  if (processes.DriveDevice(letter, device)) roots.push_back(device);

  // Only file objects can be on a disk; every other handle is never looked at.
  std::map<uint32_t, std::vector<uint32_t>> fileHandles;
  for (const platform::SystemHandle& entry : table.handles)
    if (entry.objectType == table.fileType) fileHandles[entry.processId].push_back(entry.handle);

  std::map<uint32_t, std::string> programs;
  std::vector<platform::ProcessEntry> running;
  if (processes.ListProcesses(running))
    for (const platform::ProcessEntry& process : running)
      programs[process.processId] = MbcsBaseName(process.exeName);

  const uint32_t start = platform::TickCount();
  int abandoned = 0;
  for (const auto& process : fileHandles) {
    bool holds = false;
    const bool lookedThrough =
        ProcessHoldsDrive(processes, process.first, process.second, roots, start, abandoned, holds);
    if (holds) holders.push_back({programs[process.first], process.first});
    if (!lookedThrough) break;  // out of time or workers: what was found is shown
  }
  return true;
}

std::string DriveHolderLine(const CDriveHolder& holder) {
  const std::string pid = FormatText("(PID %u)", static_cast<unsigned>(holder.m_nProcessId));
  return holder.m_strProgram.empty() ? pid : holder.m_strProgram + " " + pid;
}

std::string DriveHoldersText(const std::vector<CDriveHolder>& holders) {
  if (holders.empty()) return std::string();
  std::string text = "使用中のプログラム:\n";
  for (size_t i = 0; i < holders.size() && i < kHoldersShown; ++i)
    text += DriveHolderLine(holders[i]) + "\n";
  if (holders.size() > kHoldersShown)
    text += FormatText("ほか %u 件\n", static_cast<unsigned>(holders.size() - kHoldersShown));
  return text;
}

void AppendDriveHolders(platform::IProcesses& processes, char letter, std::string& text) {
  std::vector<CDriveHolder> holders;
  FindDriveHolders(processes, letter, holders);
  text += DriveHoldersText(holders);
}
