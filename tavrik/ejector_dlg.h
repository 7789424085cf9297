// The ejector's hidden main window: it owns the finder, the two eject engines, the reader
// definitions and the state of every slot, and answers tray clicks, menu commands, device
// changes and the close request. The Win32 glue hands it messages; it never sees a window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "common/slot_drive_finder.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/read_snapshot_registry.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "platform/volume_io.h"
#include "platform/window_ui.h"
#include "tavrik/command_ids.h"
#include "tavrik/icon_data_folder.h"
#include "tavrik/icon_entry.h"
#include "tavrik/nt_ejector.h"
#include "tavrik/reader_definitions.h"
#include "tavrik/settings_profile.h"
#include "tavrik/shell_tools.h"
#include "tavrik/slot_cells.h"
#include "tavrik/win9x_ejector.h"
#include "resources/tavrik/resource.h"

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

// The tray's icon and callback.
constexpr uint32_t TRAY_ICON_ID = 1002;
constexpr uint32_t WM_TRAYNOTIFY = 0x401;  // WM_USER + 1
inline constexpr const char kTrayTip[] = "Norvell Tavrik";
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
  void OnDeviceChange();
  // WM_TRAYNOTIFY; 1 when the mouse message was one of ours.
  int OnTrayNotify(uint32_t wParam, uint32_t lParam);
  // WM_COMMAND 1032..1087; false for any other id.
  bool OnCommand(uint32_t id);
  // WM_CLOSE, before the standard close ends the dialog.
  void OnClose();
  // Just before the window is destroyed.
  void OnDestroy();
  // Adds the tray icon with the image it shows now: at creation, and again when a restarted
  // Explorer announces its new taskbar ("TaskbarCreated"), which knows no icon of ours.
  void AddTrayIcon();

  // Owner-drawn slot items: the size, and what to paint for an id (empty text: nothing).
  struct OwnerDrawItem {
    std::string icon;
    std::string text;
  };
  OwnerDrawItem ItemToDraw(uint32_t id) const;
  static constexpr int kOwnerDrawWidth = 240;

  // The registry as the window reads it: a refresh reads each key and value once, from a
  // snapshot thrown away at its end. Built first: every member below reads through it.
  platform::ReadSnapshotRegistry m_readSnapshot;

  // The version dialog, run by the glue: OnVersionInfo asks for it through the ui seam.
  int m_nVersionResult = -1;

  // --- Slot state, public for the glue, the tools and the tests ---
  uint32_t m_dwDriveMask = 0;
  CSlotDriveFinder m_finder;
  CNtEjector m_ntEjector;
  CWin9xEjector m_9xEjector;
  CShellTools m_shellTools;
  std::vector<std::string> m_listMenuText[kReaderPositions];
  std::string m_strDriveIconKey[kCellCount];
  std::string m_strExplorerIconKey[kCellCount];
  std::string m_strDriveFuncs[kCellCount];
  std::string m_strDriveFunc[kCellCount];
  std::string m_strDrive[kCellCount];
  std::string m_strPrevDrive[kCellCount];
  std::string m_strShortcut[kCellCount];
  std::string m_strItemIcon[kSlotIdCount];
  std::string m_strItemText[kSlotIdCount];
  CReaderDefinitions m_definitions;
  int m_bFound[kCellCount] = {};
  int m_bReady[kCellCount] = {};

  // --- Operations (one file each group) ---
  long LoadDefinitions() { return m_definitions.LoadDefinitions(); }
  void RefreshSlots(bool checkMedia);
  void SetTrayIcon(int iconId);
  void AppendReaderItems(platform::MenuRef menu, int readerPosition, uint32_t firstId);
  int EjectSlot(int readerPosition, int slot);
  void OnEjectAll();
  void OnOpenExplorer();
  void OnOpenMyComputer();
  void OnRepairIcons();
  void OnVersionInfo();
  void OnExit();
  // Explorer drive icons and labels, and their record in the settings.
  void ApplyDriveIcons();
  void RemoveDriveIcons();
  void SaveIconLists();
  void RestoreIconLists();
  // The hand-off of icon values to the icon program (Vista).
  void HandOffIconEntries(std::vector<CIconEntry>& entries, bool updateNeeded);

  int DeviceNum() const { return m_definitions.m_nDeviceNum; }
  const CReaderDefinition& Reader(int position) const { return m_definitions.m_aReaders[position]; }
  bool IsFamily(const char* tag) const;
  bool IsVersion(const char* tag) const;

 private:
  void ShowSlotMenu(const platform::CursorPos& at);
  void ShowFixedMenu(const platform::CursorPos& at);
  // The engine the OS tags choose: 'n' for NT, '9' for 9x, 0 for none.
  char ChooseEngine() const;
  // Runs the chosen engine on a slot's drive; false when there is no engine or the drive is
  // no letter. A failure because the volume is held open names the programs holding it under
  // the engine's text.
  bool RunEngine(const std::string& drive, int& result, std::string& error);
  // The program folder with its trailing backslash, from the module file name.
  std::string ProgramFolder();
  // The folders of the icon data files for the current user.
  IconDataFolders DataFolders();
  void ShowHandOffError(const std::string& folder);
  // SendTo shortcuts of a slot.
  std::string SendToFolder();
  void RemoveRecordedShortcut(int cell);
  void MaintainShortcut(int cell);
  bool ShortcutsKept() const;
  bool FileExists(const std::string& path);

  platform::IRegistry& m_registry;
  platform::ISystem& m_system;
  platform::IFiles& m_files;
  platform::IShell& m_shell;
  platform::IWindowUi& m_ui;
  platform::IProcesses& m_processes;
  std::string m_strTitle;
  CSettingsProfile m_profile;
  platform::WindowRef m_window = 0;
  bool m_bVersionOpen = false;
  int m_nTrayIconId = IDI_TRAY_IDLE;  // the image SetTrayIcon gave the icon last
};
