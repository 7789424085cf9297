// A machine for the ejector's tests: the fake machine of one version with every other seam
// in memory, reader definitions written into the registry as the installer would, and slots
// plugged in as the machine's family records them.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "fake_machine/ejector_twins.h"
#include "fake_machine/fake_machine.h"
#include "tavrik/ejector_dlg.h"

struct TestSlot {
  std::string func;        // DriveFunc
  std::string funcs;       // DriveFuncs
  std::string icon;        // IconPath, made to exist with its short form
  std::vector<std::string> keys;
};

struct TavrikMachine : fake::Machine, fake::EjectorTwins {
  explicit TavrikMachine(const char* osTag);

  // Defines a reader at a position and raises DeviceNum to cover it.
  void DefineReader(int position, const std::string& friendlyName,
                    const std::vector<TestSlot>& slots);
  void SetDeviceNum(unsigned count);
  // A disk of a slot id present with a letter, a removable drive with or without a medium.
  // Its mount record is Vista-style on Vista, XP-style (through its ParentIdPrefix) elsewhere.
  void PlugSlot(const std::string& slotId, char letter, bool medium, const std::string& friendlyName);
  // The same on Windows 9x: a present device in the configuration manager whose hardware key
  // (slotId + an instance part) carries the letter.
  void PlugSlot9x(const std::string& slotId, char letter, bool medium, const std::string& productId);
  void UnplugAll();

  // Builds the window and runs its creation.
  CEjectorDlg& Start();
  // The text of the HKLM/HKCR default value of a key, "<none>" or "<no key>".
  std::string DefaultValue(platform::RegKey root, const std::string& path,
                           const char* name = "");
  std::string ProfileValue(const std::string& section, const std::string& entry);

  std::unique_ptr<CEjectorDlg> dlg;

 private:
  int m_plugged = 0;
  bool m_vistaRecords = false;
};

// The key names of the reader catalogue, in order.
std::string ReaderKeyName(int position);
