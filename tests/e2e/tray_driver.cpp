// Drives a running Tavrik from outside, as the shell and the user would: finds its hidden
// window, sends it the tray notifications and menu commands, and reports what another process
// can see (whether the shell knows the tray icon, whether a popup menu or a dialog is up).
//
// usage: tray_driver COMMAND [ARGS]
//   window               print the hidden window's handle and "hidden" or "visible"
//   icon [HWND]          exit 0 when the shell knows the tray icon of the window (the running
//                        one, or a handle printed earlier), 1 otherwise
//   left X Y | right X Y put the cursor at (X, Y) and post the tray's button message
//   command ID [TITLE SECONDS]
//                        post WM_COMMAND ID, as a chosen menu item does; with TITLE, then wait
//                        up to SECONDS for a dialog with that caption. An eject's box is
//                        waited for here, in the process that posted it: under Wine 8, a
//                        process that starts while the program asks for the system's handle
//                        list (which a failed eject does, to name the programs holding the
//                        drive) brings the Wine server down, so no other process may start
//                        until the box is up.
//   escape               post the Escape key to the hidden window
//   keys KEY...          type keys (down, up, return, escape) into the program's thread, where
//                        an open popup menu reads them
//   devicechange         post WM_DEVICECHANGE (DBT_DEVNODES_CHANGED), as after a replug
//   forgeticon           take the tray icon away, as a restarted shell has lost it
//   taskbarcreated       broadcast "TaskbarCreated", as the shell does once its taskbar is back
//   menu SECONDS         wait for a popup menu; print its left, top, right and bottom
//   nomenu SECONDS       wait for every popup menu to go away
//   itemheight           the height an owner-drawn slot item asks for on this display
//   taskbar              print the taskbar's left, top, right and bottom; the notification
//                        area is its right end
//   dialogs TITLE        how many dialogs with this caption are open
//   texts TITLE          the texts of the visible dialog with that caption's controls, one
//                        "Class:text" per control (UTF-8)
//   ok TITLE             press the OK button of that dialog
// Exit code 1 when what was asked for is not there.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr UINT kTrayNotify = WM_USER + 1;
constexpr UINT kTrayIconId = 1002;
constexpr DWORD kNotifyIconDataSize = 488;
constexpr char kDialogClass[] = "#32770";

HWND FindEjector() { return FindWindowA(kDialogClass, "Tavrik"); }

HWND VisibleMenu() {
  HWND menu = FindWindowA("#32768", nullptr);
  return (menu != nullptr && IsWindowVisible(menu)) ? menu : nullptr;
}

struct DialogCount {
  const char* title;
  int count;
};

bool IsVisibleDialog(HWND window, const char* wanted) {
  char className[32] = {};
  char title[256] = {};
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, title, sizeof title);
  return std::strcmp(className, kDialogClass) == 0 && std::strcmp(title, wanted) == 0 &&
         IsWindowVisible(window);
}

BOOL CALLBACK CountDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogCount*>(param);
  if (IsVisibleDialog(window, search->title)) ++search->count;
  return TRUE;
}

// The visible dialog with this caption: the hidden main window carries the program's title
// too, and so does every message box it shows.
struct VisibleDialog {
  const char* title;
  HWND found;
};

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<VisibleDialog*>(param);
  if (!IsVisibleDialog(window, search->title)) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
  char className[32] = {};
  wchar_t text[256] = {};
  char utf8[768] = {};
  GetClassNameA(control, className, sizeof className);
  GetWindowTextW(control, text, 256);
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  std::printf("%s:%s\n", className, utf8);
  return TRUE;
}

// One Shell_NotifyIconA call about the ejector's icon that names nothing but the icon.
bool TrayCall(DWORD message, HWND window) {
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = kNotifyIconDataSize;
  data.hWnd = window;
  data.uID = kTrayIconId;
  return Shell_NotifyIconA(message, &data) != FALSE;
}

int WaitForMenu(bool wanted, int seconds) {
  for (int tenth = 0; tenth <= seconds * 10; ++tenth) {
    HWND menu = VisibleMenu();
    if (wanted && menu != nullptr) {
      RECT rect;
      GetWindowRect(menu, &rect);
      std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right, rect.bottom);
      return 0;
    }
    if (!wanted && menu == nullptr) return 0;
    Sleep(100);
  }
  return 1;
}

int WaitForDialog(const char* title, int seconds) {
  for (int tenth = 0; tenth <= seconds * 10; ++tenth) {
    DialogCount search{title, 0};
    EnumWindows(CountDialog, reinterpret_cast<LPARAM>(&search));
    if (search.count > 0) return 0;
    Sleep(100);
  }
  return 1;
}

// Modifying an icon the shell does not know fails; with no flags nothing changes.
bool ShellKnowsIcon(HWND window) { return TrayCall(NIM_MODIFY, window); }

// Under Wine, keys typed on the X display do not reach the popup menu of a program whose only
// window is hidden; posted into its thread's queue they do, and the menu's own loop takes
// them there as it takes typed ones.
int PostKeys(HWND ejector, int count, char** names) {
  static const struct {
    const char* name;
    WPARAM key;
  } kKeys[] = {{"down", VK_DOWN}, {"up", VK_UP}, {"return", VK_RETURN}, {"escape", VK_ESCAPE}};
  for (int i = 0; i < count; ++i) {
    WPARAM key = 0;
    for (const auto& known : kKeys)
      if (std::strcmp(names[i], known.name) == 0) key = known.key;
    if (key == 0) return 2;
    const LPARAM repeatOnce = 1;
    if (!PostMessageA(ejector, WM_KEYDOWN, key, repeatOnce) ||
        !PostMessageA(ejector, WM_KEYUP, key, repeatOnce | 0xC0000000))
      return 1;
    Sleep(50);
  }
  return 0;
}

int Usage() {
  std::fprintf(stderr, "usage: tray_driver window | icon [HWND] | left X Y | right X Y | "
                       "command ID | escape | keys KEY... | devicechange | forgeticon | "
                       "taskbarcreated | menu SECONDS | "
                       "nomenu SECONDS | itemheight | taskbar | "
                       "dialogs TITLE | texts TITLE | ok TITLE\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const char* command = argv[1];
  const bool oneArgument = argc == 3;

  if ((std::strcmp(command, "menu") == 0 || std::strcmp(command, "nomenu") == 0) && oneArgument)
    return WaitForMenu(command[0] == 'm', std::atoi(argv[2]));
  if (std::strcmp(command, "itemheight") == 0) {
    std::printf("%d\n", GetSystemMetrics(SM_CYMENU) / 4 + GetSystemMetrics(SM_CYICON));
    return 0;
  }
  if (std::strcmp(command, "taskbar") == 0) {
    RECT bar;
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    if (taskbar == nullptr || !GetWindowRect(taskbar, &bar)) return 1;
    std::printf("%ld %ld %ld %ld\n", bar.left, bar.top, bar.right, bar.bottom);
    return 0;
  }
  if (std::strcmp(command, "dialogs") == 0 && oneArgument) {
    DialogCount search{argv[2], 0};
    EnumWindows(CountDialog, reinterpret_cast<LPARAM>(&search));
    std::printf("%d\n", search.count);
    return 0;
  }
  if ((std::strcmp(command, "texts") == 0 || std::strcmp(command, "ok") == 0) && oneArgument) {
    VisibleDialog search{argv[2], nullptr};
    EnumWindows(FindVisibleDialog, reinterpret_cast<LPARAM>(&search));
    HWND dialog = search.found;
    if (dialog == nullptr) return 1;
    if (command[0] == 'o') return PostMessageA(dialog, WM_COMMAND, IDOK, 0) ? 0 : 1;
    EnumChildWindows(dialog, PrintControl, 0);
    return 0;
  }
  if (std::strcmp(command, "icon") == 0 && oneArgument)
    return ShellKnowsIcon(reinterpret_cast<HWND>(std::strtoul(argv[2], nullptr, 16))) ? 0 : 1;

  HWND ejector = FindEjector();
  if (ejector == nullptr) {
    std::fprintf(stderr, "tray_driver: no Tavrik window\n");
    return 1;
  }
  if (std::strcmp(command, "window") == 0) {
    std::printf("%08lx %s\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(ejector)),
                IsWindowVisible(ejector) ? "visible" : "hidden");
    return 0;
  }
  if (std::strcmp(command, "icon") == 0) return ShellKnowsIcon(ejector) ? 0 : 1;
  if ((std::strcmp(command, "left") == 0 || std::strcmp(command, "right") == 0) && argc == 4) {
    SetCursorPos(std::atoi(argv[2]), std::atoi(argv[3]));
    const LPARAM mouse = command[0] == 'l' ? WM_LBUTTONDOWN : WM_RBUTTONUP;
    return PostMessageA(ejector, kTrayNotify, kTrayIconId, mouse) ? 0 : 1;
  }
  if (std::strcmp(command, "escape") == 0)
    return PostMessageA(ejector, WM_KEYDOWN, VK_ESCAPE, 0x00010001) ? 0 : 1;
  if (std::strcmp(command, "keys") == 0 && argc > 2) {
    const int result = PostKeys(ejector, argc - 2, argv + 2);
    return result == 2 ? Usage() : result;
  }
  if (std::strcmp(command, "devicechange") == 0)
    return PostMessageA(ejector, WM_DEVICECHANGE, 0x0007, 0) ? 0 : 1;
  if (std::strcmp(command, "forgeticon") == 0) return TrayCall(NIM_DELETE, ejector) ? 0 : 1;
  if (std::strcmp(command, "taskbarcreated") == 0)
    return PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0) ? 0 : 1;
  if (std::strcmp(command, "command") == 0 && (oneArgument || argc == 5)) {
    if (!PostMessageA(ejector, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0)) return 1;
    return oneArgument ? 0 : WaitForDialog(argv[3], std::atoi(argv[4]));
  }
  return Usage();
}
