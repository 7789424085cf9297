// The dialog the dialog-seam cases run against. Natively: the control model. As a Windows
// program: a real dialog made from an in-memory template, which needs a display (under Wine,
// an X server); without one the cases are skipped.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog_ui.h"

namespace conformance {

// Control ids of the test dialog.
constexpr int kSortedCombo = 101;
constexpr int kPlainCombo = 102;
constexpr int kListView = 103;
constexpr int kEdit = 104;
constexpr int kStatic = 105;
constexpr int kButton = 106;
constexpr int kMissing = 999;

// "twin" natively, "win32" on Windows.
std::vector<std::string> DialogTargets();

class DialogUnderTest {
 public:
  explicit DialogUnderTest(const std::string& target);
  ~DialogUnderTest();
  DialogUnderTest(const DialogUnderTest&) = delete;
  DialogUnderTest& operator=(const DialogUnderTest&) = delete;

  // False when no window could be made (a Windows program without a display).
  bool Ready() const { return m_ui != nullptr; }
  platform::IDialogUi& Ui() { return *m_ui; }

 private:
  struct Window;
  std::unique_ptr<Window> m_window;
  std::unique_ptr<platform::IDialogUi> m_ui;
};

}  // namespace conformance
