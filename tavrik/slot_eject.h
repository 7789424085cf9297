// Ejecting the medium of one slot, or of every ready slot, with the engine the OS tags choose;
// a failure is shown with the engine's text.
#pragma once
#include <string>

#include "common/slot_drive_finder.h"
#include "platform/processes.h"
#include "platform/system.h"
#include "platform/volume_io.h"
#include "platform/window_ui.h"
#include "tavrik/nt_ejector.h"
#include "tavrik/reader_definitions.h"
#include "tavrik/slot_table.h"
#include "tavrik/win9x_ejector.h"

class CSlotEjector {
 public:
  // title is the caption of the failure boxes.
  CSlotEjector(const CSlotDriveFinder& finder, const CReaderDefinitions& definitions,
               const CSlotTable& slots, platform::IVolumeIo& volumes, platform::ISystem& system,
               platform::IWindowUi& ui, platform::IProcesses& processes, const std::string& title)
      : m_finder(finder),
        m_definitions(definitions),
        m_slots(slots),
        m_ntEjector(volumes, system),
        m_9xEjector(volumes, system),
        m_system(system),
        m_ui(ui),
        m_processes(processes),
        m_strTitle(title) {}

  // The slot's medium; always 1 (a failure has been shown).
  int EjectSlot(int readerPosition, int slot);
  // Every slot found ready by the latest probe, in reader then slot order, 800 ms apart.
  void OnEjectAll();

 private:
  // The engine the OS tags choose: 'n' for NT, '9' for 9x, 0 for none.
  char ChooseEngine() const;
  // Runs the chosen engine on a slot's drive; false when there is no engine or the drive is
  // no letter. A failure because the volume is held open names the programs holding it under
  // the engine's text.
  bool RunEngine(const std::string& drive, int& result, std::string& error);

  const CSlotDriveFinder& m_finder;
  const CReaderDefinitions& m_definitions;
  const CSlotTable& m_slots;
  CNtEjector m_ntEjector;
  CWin9xEjector m_9xEjector;
  platform::ISystem& m_system;
  platform::IWindowUi& m_ui;
  platform::IProcesses& m_processes;
  std::string m_strTitle;
};
