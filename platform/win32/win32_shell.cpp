#include "platform/win32/win32_shell.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "platform/win32/scoped_win32.h"

namespace platform {

namespace {

// The shell reads no further than cbSize says: the 488-byte record ends just before guidItem
// (shells from 5.0), the 88-byte one after a 64-byte tip (every shell).
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V2_SIZE == kNotifyIconRecordV2,
              "the 488-byte record ends just before guidItem");
static_assert(sizeof(void*) != 4 || NOTIFYICONDATAA_V1_SIZE == kNotifyIconRecordV1,
              "the 88-byte record ends after a 64-byte tip");
static_assert(sizeof(NOTIFYICONDATAA::szTip) == kNotifyIconTipV2, "the long tip is 128 bytes");
static_assert(sizeof(void*) != 4 || sizeof(SHELLEXECUTEINFOA) == 60,
              "the 32-bit SHELLEXECUTEINFOA is 60 bytes");
constexpr int kTrayIconPixels = 16;
constexpr int kLinkPathChars = 260;

// CoInitialize for the span of one shortcut; only an initialisation of our own is undone.
class ScopedComApartment {
 public:
  ScopedComApartment() : m_result(CoInitialize(nullptr)) {}
  ScopedComApartment(const ScopedComApartment&) = delete;
  ScopedComApartment& operator=(const ScopedComApartment&) = delete;
  ~ScopedComApartment() {
    // S_FALSE (already initialised on this thread) also counts and must be balanced.
    if (SUCCEEDED(m_result)) CoUninitialize();
  }
  HRESULT Result() const { return m_result; }

 private:
  HRESULT m_result;
};

}  // namespace

intptr_t Win32Shell::ShellExecute(WindowRef owner, const char* verb, const char* file,
                                  const char* parameters, const char* directory, int show) {
  HINSTANCE result = ShellExecuteA(reinterpret_cast<HWND>(owner), verb, file, parameters,
                                   directory, show);
  return reinterpret_cast<intptr_t>(result);
}

bool Win32Shell::OpenSpecialFolder(int csidl) {
  ScopedItemList folder;
  if (!folder.CanReceive()) return false;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, folder.Receive())) ||
      folder.Get() == nullptr)
    return false;
  SHELLEXECUTEINFOA info;
  std::memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_IDLIST;
  info.lpVerb = "open";
  info.nShow = SW_SHOWNORMAL;
  info.lpIDList = folder.Get();
  ShellExecuteExA(&info);  // whether the folder window opened is not reported
  return true;
}

bool Win32Shell::CreateShortcut(const char* linkPath, const char* description,
                                const char* targetPath) {
  ScopedComApartment apartment;
  // The link object is made in an apartment of our own; a thread that was already initialised
  // (S_FALSE) or cannot be gets no shortcut.
  if (apartment.Result() != S_OK) return false;

  ScopedComPtr<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              ComOut(link))))
    return false;
  ScopedComPtr<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, ComOut(file)))) return false;
  if (FAILED(link->SetPath(targetPath)) || FAILED(link->SetDescription(description)))
    return false;
  WCHAR widePath[kLinkPathChars];
  // A path that does not fit is not saved under a cut-off name.
  if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, kLinkPathChars) == 0) return false;
  return SUCCEEDED(file->Save(widePath, TRUE));
}

bool Win32Shell::NotifyIcon(uint32_t message, uint32_t recordSize, WindowRef window,
                            uint32_t uId, uint32_t callbackMessage, int iconId, const char* tip) {
  NOTIFYICONDATAA data;
  std::memset(&data, 0, sizeof data);
  data.cbSize = recordSize;
  data.hWnd = reinterpret_cast<HWND>(window);
  data.uID = uId;
  if (message == kNimDelete) return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;

  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = callbackMessage;
  // The shell copies the image; ours can go as soon as the call returns.
  ScopedIcon icon(static_cast<HICON>(LoadImageA(m_resources, MAKEINTRESOURCEA(iconId), IMAGE_ICON,
                                                kTrayIconPixels, kTrayIconPixels,
                                                LR_DEFAULTCOLOR)));
  data.hIcon = icon.Get();
  const int tipSize = static_cast<int>(recordSize == kNotifyIconRecordV1 ? kNotifyIconTipV1
                                                                        : kNotifyIconTipV2);
  if (tip != nullptr) lstrcpynA(data.szTip, tip, tipSize);
  return Shell_NotifyIconA(message, &data) != FALSE;
}

uint32_t Win32Shell::GetLastError() { return ::GetLastError(); }

std::string Win32Shell::SystemErrorText(uint32_t code) {
  ScopedLocalMemory buffer;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
      nullptr, code, LANG_USER_DEFAULT, reinterpret_cast<char*>(buffer.Receive()), 0, nullptr);
  return (length != 0 && buffer) ? std::string(buffer.Get(), length) : "";
}

}  // namespace platform
