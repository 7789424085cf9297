// slotdrive eject: ejects the medium of one drive of the running system with the engine the
// ejector would choose for it, and prints the engine's text, followed, when the volume was held
// open, by the programs holding it as the ejector's message names them. --trace writes every
// volume call to standard error, so a test can see which device requests were made.
#ifdef SLOTDRIVE_LIVE
#include <cstdio>
#include <cstring>

#include "common/os_tags.h"
#include "platform/decorators/tracing_volume_io.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_volume_io.h"
#include "tavrik/drive_holders.h"
#include "tavrik/nt_ejector.h"
#include "tavrik/win9x_ejector.h"
#include "tools/slotdrive/command_line.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/console_text.h"
#include "tools/slotdrive/drive_list.h"

namespace slotdrive {

namespace {

int Report(int ejected, const std::string& text) {
  // The engine's text is in the system code page; the console may show another.
  PrintText(stdout, NativeText(text));
  return ejected ? kExitDone : kExitNegative;
}

int RunNtEngine(platform::IVolumeIo& io, platform::ISystem& system, char letter) {
  CNtEjector engine(io, system);
  const int ejected = engine.Eject(letter);
  if (ejected) return Report(ejected, engine.m_strResult);
  std::string text = engine.m_strError;
  platform::Win32Processes processes;
  if (engine.m_bVolumeInUse) AppendDriveHolders(processes, letter, text);
  return Report(ejected, text);
}

int Run9xEngine(platform::IVolumeIo& io, platform::ISystem& system, char letter) {
  CWin9xEjector engine(io, system);
  const int ejected = engine.Eject(letter);
  return Report(ejected, ejected ? engine.m_strResult : engine.m_strError);
}

}  // namespace

int RunEject(const std::vector<std::string>& args) {
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args, {{"trace", false, false}}, error)) return Refuse("eject", error);
  if (commandLine.Positionals().size() != 1)
    return Refuse("eject", "give one drive letter (slotdrive eject --help)");
  char letter = 0;
  if (!ParseDriveLetter(commandLine.Positionals()[0], "LETTER", letter, error))
    return Refuse("eject", error);

  platform::Win32System system;
  platform::Win32VolumeIo volumes;
  platform::TracingVolumeIo tracing(volumes, stderr);
  platform::IVolumeIo& io = commandLine.Has("trace") ? static_cast<platform::IVolumeIo&>(tracing)
                                                     : volumes;
  const platform::OsVersionNumbers numbers = system.GetVersionNumbers();
  const char* family = ClassifyOsFamily(numbers);
  const char* version = ClassifyOsVersion(numbers);
  if (std::strcmp(family, kOsWinNT) == 0) return RunNtEngine(io, system, letter);
  if (std::strcmp(family, kOsWin9x) == 0 && std::strcmp(version, kOsWin95) != 0)
    return Run9xEngine(io, system, letter);
  Tell("eject", std::string("no eject on this system (") + family + ", " + version + ")");
  return kExitNegative;
}

}  // namespace slotdrive
#endif
