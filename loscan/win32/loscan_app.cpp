#include "loscan/win32/loscan_app.h"

#include <commctrl.h>

#include "common/mbcs_text.h"
#include "loscan/loscan_dlg.h"
#include "loscan/win32/loscan_window.h"
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
  CLoscanDlg logic(registry, system, ui, Title());
  CLoscanDlgWindow dialog(m_instance, logic, ui);
  dialog.DoModal();  // the dialog's result is not used
  return FALSE;
}

std::string CLoscanApp::Title() const {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(m_instance, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "Loscan";
  // Walk by character: a cp932 trail byte may be 0x5C, the backslash.
  size_t start = 0;
  for (size_t i = 0; i < length; ++i) {
    if (IsCp932LeadByte(static_cast<unsigned char>(path[i])))
      ++i;
    else if (path[i] == '\\' || path[i] == '/')
      start = i + 1;
  }
  std::string name(path + start, length - start);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name.empty() ? "Loscan" : name;
}
