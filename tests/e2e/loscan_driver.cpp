// Drives a running Loscan.exe as a user would, for the end-to-end test under Wine: finds its
// main dialog, reads what it shows, picks a model and letters, presses Set and answers the
// message box. Texts are printed as UTF-8, one item per line; captions are compared as UTF-8
// (u8 literals: the build turns plain literals into cp932).
//
//   loscan_driver wait              wait (up to 30 s) for the main dialog
//   loscan_driver rect              print the dialog's left, top, right and bottom
//   loscan_driver state             print the model and every slot row
//   loscan_driver model NAME        choose a model in the device list
//   loscan_driver choose L1,L2,...  choose letters per slot row (empty: leave the row alone)
//   loscan_driver set               press Set, print the message box's text, press its OK
//   loscan_driver about             open the about box from the system menu, print its
//                                   texts and the staff roll's, close both
//   loscan_driver escape            press Esc in the dialog
//   loscan_driver dropdown          drop the device list down
//   loscan_driver list-message      post a message to the dropped-down list, as a mouse
//                                   movement over it would (the list is not the dialog's child)
//   loscan_driver closeup           close the device list again
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kDevice = 1021, kSet = 1015, kRefresh = 1000;
constexpr int kCurrent[6] = {1001, 1002, 1003, 1004, 1016, 1019};
constexpr int kNewLetter[6] = {1005, 1006, 1007, 1008, 1017, 1020};
constexpr int kLabel[6] = {1009, 1010, 1011, 1012, 1014, 1018};

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], bytes, nullptr, nullptr);
  out.resize(static_cast<size_t>(bytes - 1));
  return out;
}

// Arguments arrive in the system code page.
std::wstring Wide(const char* ansi) {
  int chars = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(chars), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi, -1, &out[0], chars);
  out.resize(static_cast<size_t>(chars - 1));
  return out;
}

// WM_GETTEXT itself: GetWindowText on another process's control does not ask the control,
// and an edit box or a drop-down list keeps its text there.
std::string TextOf(HWND window) {
  wchar_t text[1024] = {};
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL,
                      5000, &copied);
  return Utf8(text);
}

struct Search {
  bool wantMain;
  std::string caption;  // UTF-8
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  // The main dialog has the device list; a message box of the program has none.
  const bool isMain = GetDlgItem(window, kDevice) != nullptr;
  if (isMain == search->wantMain && TextOf(window) == search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindDialogWindow(bool main, const std::string& caption, int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    Search search = {main, caption, nullptr};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(100);
  }
  return nullptr;
}

HWND FindLoscanWindow(bool main, int seconds) { return FindDialogWindow(main, "Loscan", seconds); }

// Every static text of a dialog, in child order.
void PrintTexts(HWND dialog, const char* prefix) {
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    const std::string text = TextOf(child);
    if (!text.empty()) std::printf("%s=%s:%s\n", prefix, className, text.c_str());
  }
}

void CloseDialog(HWND dialog) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(100);
}

int ShowAbout(HWND dialog) {
  // The about item is a system command, as the system menu sends it.
  PostMessageW(dialog, WM_SYSCOMMAND, 0x0010, 0);
  HWND about = FindDialogWindow(false, u8"Loscanのﾊﾞｰｼﾞｮﾝ情報", 10);
  if (about == nullptr) {
    std::fprintf(stderr, "no about box\n");
    return 1;
  }
  PrintTexts(about, "about");
  std::fflush(stdout);
  // A click on the program icon opens the staff roll.
  PostMessageW(about, WM_COMMAND, MAKEWPARAM(1022, STN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(about, 1022)));
  HWND staff = FindDialogWindow(false, u8"Loscan スタッフ", 10);
  if (staff == nullptr) {
    std::fprintf(stderr, "no staff roll\n");
    CloseDialog(about);
    return 1;
  }
  PrintTexts(staff, "staff");
  CloseDialog(staff);
  CloseDialog(about);
  return IsWindow(about) ? 1 : 0;
}

void PrintState(HWND dialog) {
  std::printf("model=%s\n", TextOf(GetDlgItem(dialog, kDevice)).c_str());
  for (int row = 0; row < 6; ++row) {
    HWND combo = GetDlgItem(dialog, kNewLetter[row]);
    std::string label = TextOf(GetDlgItem(dialog, kLabel[row]));
    for (char& c : label)
      if (c == '\n' || c == '\r') c = ' ';
    std::printf("row%d=%s|%s|%s|%s|%s\n", row + 1,
                IsWindowVisible(combo) ? "visible" : "hidden",
                TextOf(GetDlgItem(dialog, kCurrent[row])).c_str(), TextOf(combo).c_str(),
                IsWindowEnabled(combo) ? "enabled" : "disabled", label.c_str());
  }
  std::printf("set=%s\n", IsWindowEnabled(GetDlgItem(dialog, kSet)) ? "enabled" : "disabled");
  std::printf("refresh=%s\n",
              IsWindowEnabled(GetDlgItem(dialog, kRefresh)) ? "enabled" : "disabled");
}

int ChooseModel(HWND dialog, const char* name) {
  HWND combo = GetDlgItem(dialog, kDevice);
  const LRESULT item = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(Wide(name).c_str()));
  if (item == CB_ERR) {
    std::fprintf(stderr, "no model %s\n", name);
    return 1;
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
  // What the combo box tells its dialog when the user picks an item.
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kDevice, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  return 0;
}

int ChooseLetters(HWND dialog, const std::string& letters) {
  size_t row = 0, start = 0;
  while (row < 6 && start <= letters.size()) {
    size_t comma = letters.find(',', start);
    if (comma == std::string::npos) comma = letters.size();
    const std::string letter = letters.substr(start, comma - start);
    if (!letter.empty()) {
      HWND combo = GetDlgItem(dialog, kNewLetter[row]);
      const LRESULT item = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(Wide(letter.c_str()).c_str()));
      if (item == CB_ERR) {
        std::fprintf(stderr, "row %u does not offer %s\n", unsigned(row + 1), letter.c_str());
        return 1;
      }
      SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
      SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kNewLetter[row], CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    }
    ++row;
    start = comma + 1;
  }
  return 0;
}

int PressSet(HWND dialog) {
  // Posted like a click: the handler shows a modal message box, which a sent message would
  // wait for.
  PostMessageW(GetDlgItem(dialog, kSet), BM_CLICK, 0, 0);
  HWND box = FindLoscanWindow(false, 15);
  if (box == nullptr) {
    std::fprintf(stderr, "no message box\n");
    return 1;
  }
  // The message text is the box's static control 0xFFFF.
  std::printf("message=%s\n", TextOf(GetDlgItem(box, 0xFFFF)).c_str());
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(100);
  return IsWindow(box) ? 1 : 0;
}

// A key press goes to the control that has the focus, through the dialog's message queue.
int PressEscape(HWND dialog) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  HWND target = dialog;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) &&
      info.hwndFocus != nullptr)
    target = info.hwndFocus;
  const LPARAM escapeScanCode = 0x00010001;
  PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, escapeScanCode);
  PostMessageW(target, WM_KEYUP, VK_ESCAPE, escapeScanCode | 0xC0000000);
  return 0;
}

BOOL CALLBACK FindDroppedList(HWND window, LPARAM found) {
  char className[32] = {};
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, "ComboLBox") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// The visible drop-down list of the dialog's thread: a window of its own, outside the dialog.
HWND DroppedList(HWND dialog) {
  HWND found = nullptr;
  EnumThreadWindows(GetWindowThreadProcessId(dialog, nullptr), FindDroppedList,
                    reinterpret_cast<LPARAM>(&found));
  return found;
}

int DropDown(HWND dialog, bool down) {
  SendMessageW(GetDlgItem(dialog, kDevice), CB_SHOWDROPDOWN, down ? TRUE : FALSE, 0);
  return (DroppedList(dialog) != nullptr) == down ? 0 : 1;
}

int PostToList(HWND dialog) {
  HWND list = DroppedList(dialog);
  if (list == nullptr || IsChild(dialog, list)) {
    std::fprintf(stderr, "no dropped-down list outside the dialog\n");
    return 1;
  }
  PostMessageW(list, WM_NULL, 0, 0);
  Sleep(500);  // let the dialog's loop take it
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: loscan_driver wait|rect|state|model NAME|choose LETTERS|set|about|escape|\n"
                 "                     dropdown|list-message|closeup\n");
    return 2;
  }
  const std::string command = argv[1];
  HWND dialog = FindLoscanWindow(true, command == "wait" ? 30 : 5);
  if (dialog == nullptr) {
    std::fprintf(stderr, "no Loscan dialog\n");
    return 1;
  }
  int result = 0;
  if (command == "wait") {
    result = 0;
  } else if (command == "rect") {
    RECT frame;
    GetWindowRect(dialog, &frame);
    std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right, frame.bottom);
  } else if (command == "state") {
    PrintState(dialog);
  } else if (command == "model" && argc == 3) {
    result = ChooseModel(dialog, argv[2]);
  } else if (command == "choose" && argc == 3) {
    result = ChooseLetters(dialog, argv[2]);
  } else if (command == "set") {
    result = PressSet(dialog);
  } else if (command == "about") {
    result = ShowAbout(dialog);
  } else if (command == "escape") {
    result = PressEscape(dialog);
  } else if (command == "dropdown" || command == "closeup") {
    result = DropDown(dialog, command == "dropdown");
  } else if (command == "list-message") {
    result = PostToList(dialog);
  } else {
    std::fprintf(stderr, "unknown command %s\n", command.c_str());
    return 2;
  }
  std::fflush(stdout);
  return result;
}
