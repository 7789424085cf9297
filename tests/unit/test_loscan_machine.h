// A machine for Loscan's dialog logic: the fake machine of one version with the dialog's
// control model, and reader disks put into the registry the way each Windows family records
// them.
#pragma once
#include <memory>
#include <string>

#include "fake_machine/fake_machine.h"
#include "loscan/loscan_dlg.h"
#include "platform/twin/twin_dialog_ui.h"

class LoscanMachine : public fake::Machine {
 public:
  // osTag is a version tag ("WinXP", "Win98", "WinMe", "WinVista", ...).
  explicit LoscanMachine(const char* osTag);

  // NT: a disk listed by the disk driver, with its Enum key and, when letter is not 0, the
  // XP-style mount record giving it that letter (the drive is also made removable).
  void AddNtDisk(const std::string& instanceId, const std::string& friendlyName,
                 const std::string& parentIdPrefix, char letter);
  // NT: a further XP-style mount record for a prefix.
  void AddNtMountRecord(const std::string& parentIdPrefix, char letter);
  // Vista: a disk listed by the disk driver and a Vista-style mount record for it.
  void AddVistaDisk(const std::string& usbStorageId, const std::string& instanceTail,
                    char letter);
  // 9x: a present device with its hardware key, product id and current letter (0: none).
  void Add9xDisk(const std::string& hardwareKey, const std::string& productId, char letter);
  // A remembered network connection: sub key name under the family's reservation key.
  void AddReservation(const std::string& subKey, const std::string& remotePath);

  // Describes the dialog's controls, constructs the dialog logic and initialises it.
  CLoscanDlg& Open();
  // Selects a model in the device combo box by name and runs the model-change handler.
  void SelectModel(const std::string& name);
  // Selects a letter (empty: no selection) in slot row's new-letter combo box.
  void Choose(int row, const std::string& letter);

  // The mount record text of an XP-style prefix, as Windows writes it.
  static std::string XpRecord(const std::string& parentIdPrefix);
  std::string MountRecordText(char letter);  // decoded, empty when there is none
  std::string UserDriveLetter(const std::string& hardwareKey);  // 9x value, raw bytes

  platform::DialogUiModel ui;
  std::unique_ptr<CLoscanDlg> dialog;

 private:
  bool nt_ = true;
};
