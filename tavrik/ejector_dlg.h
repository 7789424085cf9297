// The ejector's hidden main window: it answers tray clicks, menu commands, device changes and
// the close request. It owns, by value, the finder, the reader definitions and one collaborator
// per job (slot table, tray icon and menus, eject, Explorer drive icons, SendTo shortcuts, the
// icon program hand-off); the Win32 glue hands it messages, and it never sees a window.
#pragma once
#include <cstdint>
#include <string>

#include "common/slot_drive_finder.h"
#include "platform/decorators/read_snapshot_registry.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/volume_io.h"
#include "platform/window_ui.h"
#include "resources/tavrik/resource.h"
#include "tavrik/command_ids.h"
#include "tavrik/drive_icons.h"
#include "tavrik/icon_handoff.h"
#include "tavrik/reader_definitions.h"
#include "tavrik/sendto_shortcuts.h"
#include "tavrik/settings_profile.h"
#include "tavrik/shell_tools.h"
#include "tavrik/slot_cells.h"
#include "tavrik/slot_eject.h"
#include "tavrik/slot_table.h"
#include "tavrik/tray_icon.h"
#include "tavrik/tray_menus.h"

// The seams the window works through, all owned by the caller.
struct EjectorPlatform {
  platform::IRegistry& registry;
  platform::ISystem& system;
  platform::IVolumeIo& volumes;
  platform::IFiles& files;
  platform::IShell& shell;
  platform::IWindowUi& ui;
  platform::IProcesses& processes;
};

inline constexpr const char kSettingsKey[] = "Norvell\\Tavrik\\Settings";

// Mouse messages the tray callback carries.
constexpr uint32_t kWmLButtonDown = 0x201;
constexpr uint32_t kWmLButtonDblClk = 0x203;
constexpr uint32_t kWmRButtonUp = 0x205;
constexpr uint32_t kTrayNotifyIgnored = 0x2C;

class CEjectorDlg {
 public:
  // title is the program's title: the executable's base name without extension.
  CEjectorDlg(const EjectorPlatform& platform, const std::string& title);
  virtual ~CEjectorDlg();
  CEjectorDlg(const CEjectorDlg&) = delete;
  CEjectorDlg& operator=(const CEjectorDlg&) = delete;

  // The window handle the shell calls name as owner, once the window exists.
  void AttachWindow(platform::WindowRef window) { m_window = window; }

  // WM_CREATE: 0 (creation goes on; a failed start-up posts WM_CLOSE instead).
  int OnCreate();
  // The pre-dispatch filter's WM_DEVICECHANGE check, also reached from the window procedure.
  // Windows sends device changes, so one can arrive inside any modal loop the window runs (a
  // question, a box, a popup menu) or a refresh: it is then remembered and handled once,
  // with the drive mask read then, when the outermost of these is over.
  void OnDeviceChange();
  // WM_TRAYNOTIFY; 1 when the mouse message was one of ours.
  int OnTrayNotify(uint32_t wParam, uint32_t lParam);
  // WM_COMMAND 1032..1087; false for any other id. IDOK and IDCANCEL, which a dialog makes of
  // Enter and Escape, are taken and do nothing: only a close request ends the window.
  bool OnCommand(uint32_t id);
  // WM_CLOSE, before the standard close ends the dialog. After it, nothing more is written.
  void OnClose();
  // WM_ENDSESSION for a logon session that ends: the system ends the process without
  // WM_CLOSE, so the close steps run here, with no box.
  void OnEndSession() { OnClose(); }
  // Just before the window is destroyed.
  void OnDestroy();
  // Adds the tray icon with the image it shows now: at creation, and again when a restarted
  // Explorer announces its new taskbar ("TaskbarCreated"), which knows no icon of ours.
  void AddTrayIcon() { m_trayIcon.AddTrayIcon(); }

  // Owner-drawn slot items, painted by the glue.
  using OwnerDrawItem = CTrayMenus::OwnerDrawItem;
  static constexpr int kOwnerDrawWidth = CTrayMenus::kOwnerDrawWidth;
  OwnerDrawItem ItemToDraw(uint32_t id) const { return m_trayMenus.ItemToDraw(id); }

  // The window's operations, each done by the collaborator of its job.
  long LoadDefinitions() { return m_definitions.LoadDefinitions(); }
  void RefreshSlots(bool checkMedia) { m_slots.RefreshSlots(checkMedia); }
  int EjectSlot(int readerPosition, int slot) { return m_eject.EjectSlot(readerPosition, slot); }
  void OnEjectAll() { m_eject.OnEjectAll(); }
  void OnOpenExplorer();
  void OnOpenMyComputer();
  void OnRepairIcons();
  void OnVersionInfo();
  void OnExit();
  void ApplyDriveIcons() { m_driveIcons.ApplyDriveIcons(); }
  void RemoveDriveIcons() { m_driveIcons.RemoveDriveIcons(); }
  // The record in the settings of the icon keys and the SendTo shortcuts.
  void SaveIconLists();
  void RestoreIconLists();

  // What the glue, the tools and the tests read.
  int DeviceNum() const { return m_definitions.m_nDeviceNum; }
  const CReaderDefinition& Reader(int position) const { return m_definitions.m_aReaders[position]; }
  const CSlotDriveFinder& Finder() const { return m_finder; }
  const CSlotTable& Slots() const { return m_slots; }
  const CDriveIcons& DriveIcons() const { return m_driveIcons; }
  const CSendToShortcuts& Shortcuts() const { return m_shortcuts; }
  const CTrayMenus& TrayMenus() const { return m_trayMenus; }
  // What the version dialog returned last; -1 before it ran.
  int VersionResult() const { return m_nVersionResult; }

 private:
  // The tests' one way to put a slot in a state their machine's registry cannot give.
  friend void StageSlot(CEjectorDlg& dlg, int cell, int found, const std::string& drive,
                        const std::string& driveFuncs, int ready);

  // The registry as the window reads it: a refresh reads each key and value once, from a
  // snapshot thrown away at its end. Built first: every member below but the finder reads
  // through it; the finder keeps its own index of what its lookups read for the refresh, which
  // a snapshot beneath it would only copy once more.
  platform::ReadSnapshotRegistry m_readSnapshot;
  CSlotDriveFinder m_finder;
  CReaderDefinitions m_definitions;
  platform::ISystem& m_system;
  platform::IShell& m_shell;
  platform::IWindowUi& m_ui;
  std::string m_strTitle;
  platform::WindowRef m_window = 0;
  CSettingsProfile m_profile;
  CShellTools m_shellTools;
  CTrayIcon m_trayIcon;
  CSendToShortcuts m_shortcuts;
  CSlotTable m_slots;
  CIconHandOff m_handOff;
  CDriveIcons m_driveIcons;
  CTrayMenus m_trayMenus;
  CSlotEjector m_eject;

  // Counts the handlers under way, and keeps a device change or an icon update that arrives
  // inside one for the end of the outermost.
  class CBusyScope {
   public:
    explicit CBusyScope(CEjectorDlg& dlg) : m_dlg(dlg) { ++m_dlg.m_nBusy; }
    ~CBusyScope();
    CBusyScope(const CBusyScope&) = delete;
    CBusyScope& operator=(const CBusyScope&) = delete;

   private:
    CEjectorDlg& m_dlg;
  };
  // The device-change refresh, once no handler is under way.
  void RefreshForDeviceChange();
  // ApplyDriveIcons and SaveIconLists, never inside themselves: a tray click or the repair
  // command served by the loop of the Vista question would ask a second question.
  void UpdateDriveIcons();

  uint32_t m_dwDriveMask = 0;
  int m_nBusy = 0;
  bool m_bDeviceChangePending = false;
  bool m_bIconUpdatePending = false;
  bool m_bUpdatingIcons = false;
  bool m_bClosed = false;
  // The version dialog, run by the glue: OnVersionInfo asks for it through the ui seam.
  int m_nVersionResult = -1;
  bool m_bVersionOpen = false;
};
