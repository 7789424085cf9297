// Loscan's main dialog, as logic over the seams: the device catalogue, the slot rows, the
// drive-letter status list and the applying of an assignment. The window glue forwards the
// dialog's messages to the handlers below; nothing here sees a window handle.
#pragma once
#include <cstdint>
#include <string>

#include "common/slot_drive_assigner.h"
#include "loscan/device_model.h"
#include "loscan/network_reservations.h"
#include "platform/decorators/read_snapshot_registry.h"
#include "platform/dialog_ui.h"
#include "platform/registry.h"
#include "platform/system.h"

// Control ids of the six slot rows, in row order.
extern const int kCurrentLetterIds[kSlotRows];
extern const int kNewLetterIds[kSlotRows];
extern const int kSlotLabelIds[kSlotRows];

class CLoscanDlg {
 public:
  // title is the program's name, the caption of its message boxes.
  CLoscanDlg(platform::IRegistry& registry, platform::ISystem& system, platform::IDialogUi& ui,
             std::string title);
  CLoscanDlg(const CLoscanDlg&) = delete;
  CLoscanDlg& operator=(const CLoscanDlg&) = delete;

  // The dialog's initialisation after the glue has set up the system menu and the icons:
  // catalogue, image list, the last model selected, the status list's columns, the slot rows
  // and the first refresh. Returns true: the system sets the initial focus.
  bool OnInitDialog();
  // A change of model: shows the selected model's slot rows, then refreshes.
  void ApplyModelLayout();
  // Re-reads everything: current letters, reservations, status list, letter choices.
  void Refresh();
  // Runs before every queued message of the dialog: a changed set of logical drives (the
  // reader replugged) refreshes the dialog and enables Refresh again.
  void CheckDriveChange();
  // The Set button.
  void OnSetClicked();
  void ApplyAssignment(int index, const std::string (&letters)[kSlotRows]);

  void BuildCatalogue();
  int FindModel(const std::string& name) const;
  void FindCurrentLetters(int index);
  int ReadNetworkReservations();
  void AddStatusRow(const std::string& letter);

  // The registry as the dialog reads it: a refresh reads each key and value once, from a
  // snapshot thrown away at its end. Built first: the members below but the finder read
  // through it; the finder keeps its own index of what its lookups read for the refresh (a
  // snapshot beneath it would only copy it again), and its writer never runs in a refresh.
  platform::ReadSnapshotRegistry m_readSnapshot;
  char m_szReserved[kMaxReservations] = {};
  int32_t m_nReserved = 0;
  std::string m_strCurLetter[kSlotRows];
  CSlotDriveAssigner m_finder;
  platform::ImageListRef m_imageList = 0;
  uint32_t m_dwLastDrives = 0;
  DeviceModel m_models[kModelCount];

 private:
  // The model selected in the device combo box, or -1.
  int SelectedModel();
  void NoteFoundLetter(int slot);
  void ShowMessage(const std::string& text);

  platform::IRegistry& m_registry;
  platform::ISystem& m_system;
  platform::IDialogUi& m_ui;
  std::string m_strTitle;
};
