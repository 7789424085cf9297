// slotdrive eject: ejects the medium of one drive of the running system with the engine the
// ejector would choose for it, and prints the engine's text, followed, when the volume was held
// open, by the programs holding it as the ejector's message names them. --trace writes every
// volume call to standard error, so a test can see which device requests were made.
#ifdef SLOTDRIVE_LIVE
#include <cstdio>
#include <cstring>

#include "common/os_tags.h"
#include "platform/tracing_volume_io.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_volume_io.h"
#include "tavrik/drive_holders.h"
#include "tavrik/nt_ejector.h"
#include "tavrik/win9x_ejector.h"
#include "tools/slotdrive/command_line.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/output_file.h"

namespace slotdrive {

namespace {

constexpr int kExitFailed = 1;

int Report(int ejected, const std::string& text) {
  std::string error;
  WriteOutput(text, std::string(), error);
  return ejected ? kExitDone : kExitFailed;
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
  if (commandLine.Positionals().size() != 1 || commandLine.Positionals()[0].size() != 1)
    return Refuse("eject", "give the drive letter as one character");
  const char letter = commandLine.Positionals()[0][0];

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
  std::fprintf(stderr, "slotdrive eject: no eject on this system (%s, %s)\n", family, version);
  return kExitFailed;
}

}  // namespace slotdrive
#endif
