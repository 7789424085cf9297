#include "loscan/win32/loscan_app.h"

#include <commctrl.h>

#include "loscan/loscan_dlg.h"
#include "loscan/win32/loscan_window.h"
#include "platform/win32/module_title.h"
#include "platform/win32/optional_function.h"
#include "platform/win32/win32_dialog_ui.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_system.h"

BOOL CLoscanApp::InitInstance() {
  // InitCommonControlsEx came with version 4.70 of the common controls; the first Windows 95
  // has only InitCommonControls, which registers the same list-view class.
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  if (auto initEx = platform::OptionalFunction<InitEx>("COMCTL32.DLL", "InitCommonControlsEx")) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    initEx(&controls);
  } else {
    InitCommonControls();
  }

  platform::Win32Registry registry;
  platform::Win32System system;
  platform::Win32DialogUi ui(m_instance);
  std::string title = platform::ModuleTitle(m_instance);
  if (title.empty()) title = "Loscan";
  CLoscanDlg logic(registry, system, ui, title);
  CLoscanDlgWindow dialog(m_instance, logic, ui);
  dialog.DoModal();  // the dialog's result is not used
  return FALSE;
}
