#include "tests/conformance/dialog_under_test.h"

#include "platform/twin/twin_dialog_ui.h"

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "platform/win32/win32_dialog_ui.h"
#endif

namespace conformance {

std::vector<std::string> DialogTargets() {
#ifdef _WIN32
  return {"win32"};
#else
  return {"twin"};
#endif
}

#ifdef _WIN32
namespace {

// Builds a DLGTEMPLATE with its items in memory: WORD-aligned header, DWORD-aligned items.
class TemplateBuilder {
 public:
  TemplateBuilder(DWORD style, short cx, short cy, WORD items) {
    DLGTEMPLATE header = {};
    header.style = style;
    header.cdit = items;
    header.cx = cx;
    header.cy = cy;
    Append(&header, sizeof header);
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Word(0);  // no title
  }
  void Item(WORD id, DWORD style, short x, short y, short cx, short cy, WORD atom,
            const char* className) {
    while (m_data.size() % 4 != 0) m_data.push_back(0);
    DLGITEMTEMPLATE item = {};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    Append(&item, sizeof item);
    if (className == nullptr) {
      Word(0xFFFF);
      Word(atom);
    } else {
      for (const char* c = className; *c != '\0'; ++c) Word(static_cast<WORD>(*c));
      Word(0);
    }
    Word(0);  // no text
    Word(0);  // no creation data
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_data.data()); }

 private:
  void Append(const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    m_data.insert(m_data.end(), bytes, bytes + size);
  }
  void Word(WORD value) { Append(&value, sizeof value); }
  std::vector<unsigned char> m_data;
};

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

}  // namespace

struct DialogUnderTest::Window {
  HWND dialog = nullptr;
  ~Window() {
    if (dialog != nullptr) DestroyWindow(dialog);
  }
};
#else
struct DialogUnderTest::Window {};
#endif

DialogUnderTest::DialogUnderTest(const std::string& target) {
#ifdef _WIN32
  if (target == "win32") {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    TemplateBuilder dialog(WS_POPUP, 300, 200, 6);
    dialog.Item(kSortedCombo, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 5, 5, 60, 100, 0x0085,
                nullptr);
    dialog.Item(kPlainCombo, CBS_DROPDOWNLIST | WS_VSCROLL, 70, 5, 60, 100, 0x0085, nullptr);
    dialog.Item(kListView, LVS_REPORT | WS_BORDER, 5, 30, 200, 100, 0, "SysListView32");
    dialog.Item(kEdit, ES_AUTOHSCROLL | WS_BORDER, 140, 5, 40, 14, 0x0081, nullptr);
    dialog.Item(kStatic, SS_CENTER, 190, 5, 40, 14, 0x0082, nullptr);
    dialog.Item(kButton, BS_PUSHBUTTON, 240, 5, 40, 14, 0x0080, nullptr);
    m_window = std::make_unique<Window>();
    m_window->dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialog.Get(),
                                                  nullptr, QuietProc, 0);
    if (m_window->dialog == nullptr) return;  // no display
    auto ui = std::make_unique<platform::Win32DialogUi>(GetModuleHandleA(nullptr));
    ui->Attach(m_window->dialog);
    m_ui = std::move(ui);
    return;
  }
#endif
  (void)target;
  using Kind = platform::DialogUiModel::Kind;
  auto model = std::make_unique<platform::DialogUiModel>();
  model->AddControl(kSortedCombo, Kind::kComboBox).sorted = true;
  model->AddControl(kPlainCombo, Kind::kComboBox);
  model->AddControl(kListView, Kind::kListView).clientWidth = 300;
  model->AddControl(kEdit, Kind::kEdit);
  model->AddControl(kStatic, Kind::kStatic);
  model->AddControl(kButton, Kind::kButton);
  m_ui = std::move(model);
}

DialogUnderTest::~DialogUnderTest() {
  m_ui.reset();
  m_window.reset();
}

}  // namespace conformance
