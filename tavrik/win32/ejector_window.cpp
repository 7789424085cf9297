#include "tavrik/win32/ejector_window.h"

#include "platform/win32/centred_icon.h"
#include "platform/win32/optional_function.h"
#include "platform/win32/scoped_win32.h"
#include "resources/tavrik/resource.h"
#include "tavrik/win32/slot_menu_item.h"

namespace {

// Where the hidden window keeps a pointer to its object, so that the message filter, which
// Windows calls without context, can find it.
constexpr const char kWindowProperty[] = "Norvell.Tavrik.EjectorWindow";

}  // namespace

CEjectorWindow::CEjectorWindow(HINSTANCE resources, CEjectorDlg& logic, platform::Win32WindowUi& ui)
    : m_resources(resources),
      m_logic(logic),
      m_ui(ui),
      m_hIcon(LoadIconA(resources, MAKEINTRESOURCEA(IDI_PROGRAM))),
      m_uTaskbarCreated(RegisterWindowMessageA("TaskbarCreated")) {}

INT_PTR CEjectorWindow::DoModal() {
  // A modal dialog's loop is the system's; it offers every queued message to the thread's
  // message-filter hook (MSGF_DIALOGBOX) before dispatching it. That is where Escape is
  // swallowed and the drive mask checked.
  platform::ScopedHook filter(
      SetWindowsHookExA(WH_MSGFILTER, MessageFilter, nullptr, GetCurrentThreadId()));
  return DialogBoxParamA(m_resources, MAKEINTRESOURCEA(IDD_EJECTOR_DIALOG), nullptr, DialogProc,
                         reinterpret_cast<LPARAM>(this));
}

LRESULT CALLBACK CEjectorWindow::MessageFilter(int code, WPARAM wParam, LPARAM lParam) {
  if (code == MSGF_DIALOGBOX) {
    const MSG& message = *reinterpret_cast<const MSG*>(lParam);
    HWND root = message.hwnd != nullptr ? platform::RootWindow(message.hwnd) : nullptr;
    auto* window = root != nullptr
                       ? static_cast<CEjectorWindow*>(GetPropA(root, kWindowProperty))
                       : nullptr;
    if (window != nullptr && window->PreTranslateMessage(message)) return TRUE;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool CEjectorWindow::PreTranslateMessage(const MSG& message) {
  // Escape would end the dialog, and with it the program.
  if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) return true;
  if (message.message == WM_DEVICECHANGE) m_logic.OnDeviceChange();
  return false;
}

INT_PTR CALLBACK CEjectorWindow::DialogProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<CEjectorWindow*>(lParam);
    SetPropA(window, kWindowProperty, self);
    self->OnInitDialog(window);
    return TRUE;
  }
  auto* self = static_cast<CEjectorWindow*>(GetPropA(window, kWindowProperty));
  if (self == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    RemovePropA(window, kWindowProperty);
    return FALSE;
  }
  return self->OnMessage(message, wParam, lParam);
}

void CEjectorWindow::OnInitDialog(HWND window) {
  m_hWnd = window;
  m_ui.Attach(window);
  m_logic.AttachWindow(reinterpret_cast<platform::WindowRef>(window));
  m_logic.OnCreate();
  SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
}

INT_PTR CEjectorWindow::Answer(LRESULT result) {
  SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
  return TRUE;
}

INT_PTR CEjectorWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Explorer broadcasts this to top-level windows when it has re-created the taskbar after a
  // restart; the new notification area has lost every icon.
  if (message == m_uTaskbarCreated && m_uTaskbarCreated != 0) {
    m_logic.AddTrayIcon();
    return TRUE;
  }
  switch (message) {
    case WM_WINDOWPOSCHANGING:
      // The dialog loop shows its window once the queue first runs empty; this window is only
      // a receiver of messages and must never appear, not even for one frame.
      reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
      return FALSE;
    case WM_PAINT:
      OnPaint();
      return TRUE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(m_hIcon);
    case WM_TRAYNOTIFY:
      return Answer(m_logic.OnTrayNotify(static_cast<uint32_t>(wParam),
                                         static_cast<uint32_t>(lParam)));
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_MENU) return FALSE;
      MeasureSlotMenuItem(item);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.CtlType != ODT_MENU) return FALSE;
      // Drawn from the window's own copy of the text: the item data is only the pointer the
      // menu was built with.
      DrawSlotMenuItem(item, m_logic.ItemToDraw(item.itemID));
      return TRUE;
    }
    case WM_DEVICECHANGE:
      // Windows sends the arrival and removal of a volume to top-level windows rather than
      // posting it, so the message filter never sees those.
      m_logic.OnDeviceChange();
      return Answer(TRUE);
    case WM_COMMAND:
      // Enter (IDOK) and Escape (IDCANCEL) reach this invisible dialog once a popup menu has
      // made it the foreground window; the logic takes them without ending anything.
      return m_logic.OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
      m_logic.OnClose();
      EndDialog(m_hWnd, IDCANCEL);
      return TRUE;
    case WM_QUERYENDSESSION:
      return Answer(TRUE);
    case WM_ENDSESSION:
      // The system ends the process after this without WM_CLOSE: undo here what Exit undoes,
      // or Explorer's icons and labels of our drives stay for whoever logs on next.
      if (wParam) {
        m_logic.OnEndSession();
        EndDialog(m_hWnd, IDCANCEL);
      }
      return Answer(0);
    case WM_DESTROY:
      m_logic.OnDestroy();
      return FALSE;
    default:
      return FALSE;
  }
}

void CEjectorWindow::OnPaint() {
  // Should the window ever become visible, it hides again at its first paint.
  if (IsWindowVisible(m_hWnd)) ShowWindow(m_hWnd, SW_HIDE);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(m_hWnd, &paint);
  if (IsIconic(m_hWnd)) DrawIconCentred(m_hWnd, dc, m_hIcon);
  EndPaint(m_hWnd, &paint);
}
