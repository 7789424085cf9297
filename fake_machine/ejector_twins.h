// The seams Tavrik's window needs beside a registry and a system, all in memory: what the
// unit tests, the benchmarks and slotdrive run the window on.
#pragma once
#include "platform/system.h"
#include "platform/twin/twin_files.h"
#include "platform/twin/twin_processes.h"
#include "platform/twin/twin_shell.h"
#include "platform/twin/twin_volume_io.h"
#include "platform/twin/twin_window_ui.h"
#include "tavrik/ejector_dlg.h"

namespace fake {

struct EjectorTwins {
  EjectorPlatform Seams(platform::IRegistry& registry, platform::ISystem& system) {
    return {registry, system, volumes, files, shell, ui, processes};
  }
  // Tavrik where its setup puts it: its program file, the system folder, and the short form
  // of "C:\Program Files" that the icon values are written with.
  void InstallTavrik();
  // The volume "\\.\X:" that the NT eject engine opens.
  void AddVolume(char letter);
  // A volume for every drive the system has.
  void AddDriveVolumes(platform::ISystem& system);

  platform::ScriptedVolumeIo volumes;
  platform::MemoryFiles files;
  platform::RecordingShell shell;
  platform::WindowUiModel ui;
  platform::ScriptedProcesses processes;  // no program holds a drive
};

}  // namespace fake
