// Starting the icon program Tolket from its folder beside ours: on Vista with the icon values
// handed over in two data files (the machine-wide icon keys need administrator rights, which
// the ejector does not ask for, and Tolket does), and for the icon repair command.
#pragma once
#include <string>
#include <vector>

#include "common/slot_drive_finder.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/window_ui.h"
#include "tavrik/icon_data_folder.h"
#include "tavrik/icon_entry.h"

class CIconHandOff {
 public:
  // window is the owner the shell calls name, read at each call.
  CIconHandOff(const CSlotDriveFinder& finder, platform::IFiles& files, platform::IShell& shell,
               platform::IWindowUi& ui, const platform::WindowRef& window)
      : m_finder(finder), m_files(files), m_shell(shell), m_ui(ui), m_window(window) {}

  // On Vista, when the icons are not as wanted and the user agrees: writes the entries to
  // "create.dat" (the previous one becoming "remove.dat") and starts Tolket with both.
  // Empties entries in every case.
  void HandOffIconEntries(std::vector<CIconEntry>& entries, bool updateNeeded);
  // Whether a hand-off has left Tolket something to write again.
  bool HasHandedOff();
  // Starts Tolket without arguments, for its repair; a failure is shown to the user.
  void StartRepair();

 private:
  // The program folder with its trailing backslash, from the module file name.
  std::string ProgramFolder();
  // The folders of the icon data files for the current user.
  IconDataFolders DataFolders();
  // Starts Tolket.exe from the program folder; on failure the "Error msg" box.
  void StartTolket(const char* parameters);

  const CSlotDriveFinder& m_finder;
  platform::IFiles& m_files;
  platform::IShell& m_shell;
  platform::IWindowUi& m_ui;
  const platform::WindowRef& m_window;
};
