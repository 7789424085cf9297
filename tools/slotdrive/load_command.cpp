// slotdrive load (Windows build): writes .reg files into the running system's registry
// through the same calls the programs use. Unlike reg.exe it reaches HKEY_DYN_DATA too,
// which a test needs to stage a 9x machine under Wine.
#ifdef SLOTDRIVE_LIVE
#include "platform/reg_files/reg_file.h"
#include "platform/twin/twin_registry.h"
#include "platform/win32/win32_registry.h"
#include "tools/slotdrive/command_line.h"
#include "tools/slotdrive/commands.h"

namespace slotdrive {

int RunLoad(const std::vector<std::string>& args) {
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args, {{"reg", true, true}}, error)) return Refuse("load", error);
  if (!commandLine.Positionals().empty())
    return Refuse("load", "unexpected '" + commandLine.Positionals().front() + "'");
  if (!commandLine.Has("reg")) return Refuse("load", "no --reg FILE given");
  // Every file is read and checked on an image first, so a bad file leaves the live
  // registry as it was.
  const std::vector<std::string> files = commandLine.Values("reg");
  platform::MemoryRegistry check;
  for (const std::string& file : files)
    if (!platform::ImportRegFile(check, file, error)) return Refuse("load", error);
  platform::Win32Registry registry;
  for (const std::string& file : files)
    if (!platform::ImportRegFile(registry, file, error)) return Refuse("load", error);
  return kExitDone;
}

}  // namespace slotdrive
#endif
