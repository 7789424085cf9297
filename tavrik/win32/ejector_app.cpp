#include "tavrik/win32/ejector_app.h"

#include "platform/win32/module_title.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_volume_io.h"
#include "platform/win32/win32_window_ui.h"
#include "tavrik/ejector_dlg.h"
#include "tavrik/win32/ejector_window.h"

namespace {

constexpr const char kInstanceMutex[] = "Tavrik_Instance_Slotrack";

}  // namespace

CEjectorApp::~CEjectorApp() {
  if (m_hMutex) ReleaseMutex(m_hMutex.Get());
}

bool CEjectorApp::TakeInstanceMutex() {
  const platform::ScopedKernelHandle running(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, kInstanceMutex));
  if (running) return false;
  m_hMutex.Reset(CreateMutexA(nullptr, FALSE, kInstanceMutex));
  return true;
}

int CEjectorApp::Run() {
  // Probing an empty card slot must fail quietly rather than ask the user for a disk.
  SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  if (!TakeInstanceMutex()) return 0;

  std::string title = platform::ModuleTitle(m_instance);
  if (title.empty()) title = "Tavrik";
  platform::Win32Registry registry;
  platform::Win32System system;
  platform::Win32VolumeIo volumes;
  platform::Win32Files files;
  platform::Win32Shell shell(m_instance);
  platform::Win32WindowUi ui(m_instance);
  platform::Win32Processes processes;
  // The settings live under HKEY_CURRENT_USER\Software\Norvell\Tavrik\Settings\<title>.
  CEjectorDlg logic({registry, system, volumes, files, shell, ui, processes}, title);
  CEjectorWindow window(m_instance, logic, ui);
  window.DoModal();
  return 0;
}
