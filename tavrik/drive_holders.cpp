#include "tavrik/drive_holders.h"

#include <map>

#include "platform/mbcs_text.h"
#include "tavrik/drive_letter.h"
#include "tavrik/format_text.h"

namespace {

constexpr size_t kHoldersShown = 10;

char16_t FoldAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? c - u'a' + u'A' : c; }

// A name on the drive is the drive's own name or lies below it; "\??\F:" must not take in
// "\??\F:x" and "\Device\HarddiskVolume1" must not take in "\Device\HarddiskVolume10".
bool IsOnDrive(const std::u16string& name, const std::u16string& root) {
  if (root.empty() || name.size() < root.size()) return false;
  for (size_t i = 0; i < root.size(); ++i)
    if (FoldAscii(name[i]) != FoldAscii(root[i])) return false;
  return name.size() == root.size() || name[root.size()] == u'\\';
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

  for (const auto& process : fileHandles) {
    bool holds = false;
    processes.NameDiskFiles(process.first, process.second, [&](const std::u16string& name) {
      for (const std::u16string& root : roots)
        if (IsOnDrive(name, root)) holds = true;
      return !holds;  // one handle on the drive is enough
    });
    if (holds) holders.push_back({programs[process.first], process.first});
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
