// The dialog seam held to the real controls: the same cases run natively on the control model
// and, as a Windows program, on a real dialog (Wine's controls under Wine, with a display).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/conformance/dialog_under_test.h"
#include "tests/conformance/registry_under_test.h"

namespace conformance {
namespace {

class DialogUiConformance : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    m_dialog = std::make_unique<DialogUnderTest>(GetParam());
    if (!m_dialog->Ready()) GTEST_SKIP() << "no window can be made here (no display)";
  }
  platform::IDialogUi& Ui() { return m_dialog->Ui(); }
  std::string Items(int id) {
    std::string all;
    for (int i = 0; i < Ui().ComboGetCount(id); ++i) all += Ui().ComboGetItemText(id, i) + ",";
    return all;
  }
  void Fill(int id, std::initializer_list<const char*> items) {
    for (const char* item : items) Ui().ComboAddString(id, item);
  }

 private:
  std::unique_ptr<DialogUnderTest> m_dialog;
};

TEST_P(DialogUiConformance, SortedComboInsertsInOrderIgnoringCase) {
  EXPECT_EQ(0, Ui().ComboAddString(kSortedCombo, "M"));
  EXPECT_EQ(0, Ui().ComboAddString(kSortedCombo, "c"));
  EXPECT_EQ(2, Ui().ComboAddString(kSortedCombo, "Z"));
  EXPECT_EQ(1, Ui().ComboAddString(kSortedCombo, "D"));
  EXPECT_EQ("c,D,M,Z,", Items(kSortedCombo));
  EXPECT_EQ(0, Ui().ComboAddString(kPlainCombo, "M"));
  EXPECT_EQ(1, Ui().ComboAddString(kPlainCombo, "C"));
  EXPECT_EQ("M,C,", Items(kPlainCombo));
}

TEST_P(DialogUiConformance, FindStringIsAPrefixSearchIgnoringCaseFromAfterTheStart) {
  EXPECT_EQ(-1, Ui().ComboFindString(kPlainCombo, -1, "a"));  // empty list
  Fill(kPlainCombo, {"Alpha", "beta", "Bravo", "charlie"});
  EXPECT_EQ(1, Ui().ComboFindString(kPlainCombo, -1, "B"));
  EXPECT_EQ(2, Ui().ComboFindString(kPlainCombo, 1, "b"));
  EXPECT_EQ(1, Ui().ComboFindString(kPlainCombo, 2, "b"));  // wraps round to the top
  EXPECT_EQ(3, Ui().ComboFindString(kPlainCombo, -1, "CHAR"));
  EXPECT_EQ(0, Ui().ComboFindString(kPlainCombo, -1, "alpha"));  // the whole text is a prefix
  EXPECT_EQ(-1, Ui().ComboFindString(kPlainCombo, -1, "charlies"));
  EXPECT_EQ(-1, Ui().ComboFindString(kPlainCombo, -1, "lpha"));  // not a substring search
  EXPECT_EQ(0, Ui().ComboFindString(kPlainCombo, 99, "a"));     // past the end: from the top
}

TEST_P(DialogUiConformance, DropDownListTextIsTheSelectedItem) {
  Fill(kSortedCombo, {"D", "F", "H"});
  EXPECT_EQ("", Ui().GetText(kSortedCombo));
  EXPECT_EQ(-1, Ui().ComboGetCurSel(kSortedCombo));
  EXPECT_EQ(1, Ui().ComboSetCurSel(kSortedCombo, 1));
  EXPECT_EQ("F", Ui().GetText(kSortedCombo));
  EXPECT_EQ(-1, Ui().ComboSetCurSel(kSortedCombo, -1));  // clears, and answers CB_ERR
  EXPECT_EQ(-1, Ui().ComboGetCurSel(kSortedCombo));
  EXPECT_EQ("", Ui().GetText(kSortedCombo));
}

TEST_P(DialogUiConformance, SelectionFollowsItsItemThroughInsertsAndDeletes) {
  Fill(kSortedCombo, {"D", "F", "H"});
  Ui().ComboSetCurSel(kSortedCombo, 1);
  Ui().ComboAddString(kSortedCombo, "C");  // above the selection
  EXPECT_EQ(2, Ui().ComboGetCurSel(kSortedCombo));
  EXPECT_EQ("F", Ui().GetText(kSortedCombo));
  EXPECT_EQ(3, Ui().ComboDeleteString(kSortedCombo, 0));  // the number left
  EXPECT_EQ(1, Ui().ComboGetCurSel(kSortedCombo));
  Ui().ComboDeleteString(kSortedCombo, 2);  // below it
  EXPECT_EQ("F", Ui().GetText(kSortedCombo));
  Ui().ComboDeleteString(kSortedCombo, 1);  // the selected item itself
  EXPECT_EQ(-1, Ui().ComboGetCurSel(kSortedCombo));
  EXPECT_EQ(-1, Ui().ComboDeleteString(kSortedCombo, 5));
  EXPECT_EQ("", Ui().ComboGetItemText(kSortedCombo, 5));
  Ui().ComboSetCurSel(kSortedCombo, 0);
  Ui().ComboResetContent(kSortedCombo);
  EXPECT_EQ(0, Ui().ComboGetCount(kSortedCombo));
  EXPECT_EQ(-1, Ui().ComboGetCurSel(kSortedCombo));
}

TEST_P(DialogUiConformance, ListViewAppendsPastTheEndAndKeepsSubItems) {
  EXPECT_EQ(0, Ui().ListInsertColumn(kListView, 0, "a", 70, 0));
  EXPECT_EQ(1, Ui().ListInsertColumn(kListView, 5, "b", 30, 1));  // past the end: appended
  EXPECT_EQ(0, Ui().ListInsertItem(kListView, 0, "C", 1));
  EXPECT_EQ(1, Ui().ListInsertItem(kListView, 9, "D", 2));
  EXPECT_TRUE(Ui().ListSetItemText(kListView, 1, 1, "fixed"));
  EXPECT_FALSE(Ui().ListSetItemText(kListView, 2, 0, "no such row"));
  EXPECT_EQ(2, Ui().ListGetItemCount(kListView));
  EXPECT_EQ("D", Ui().ListGetItemText(kListView, 1, 0));
  EXPECT_EQ("fixed", Ui().ListGetItemText(kListView, 1, 1));
  EXPECT_EQ("", Ui().ListGetItemText(kListView, 0, 1));
  EXPECT_TRUE(Ui().ListDeleteAllItems(kListView));
  EXPECT_EQ(0, Ui().ListGetItemCount(kListView));
  EXPECT_GT(Ui().ClientWidth(kListView), 0);
}

TEST_P(DialogUiConformance, EdgesOfTheComboAndListMessages) {
  Fill(kPlainCombo, {"Alpha", "beta"});
  EXPECT_EQ(-1, Ui().ComboFindString(kPlainCombo, -1, ""));  // an empty prefix finds nothing
  // A drop-down list has no edit field: WM_SETTEXT answers CB_ERR and selects nothing.
  Ui().ComboSetCurSel(kPlainCombo, 0);
  Ui().SetText(kPlainCombo, "beta");
  EXPECT_EQ(0, Ui().ComboGetCurSel(kPlainCombo));
  // CB_SETCURSEL past the end answers CB_ERR and, on Windows, clears the selection.
  Ui().ComboSetCurSel(kPlainCombo, 1);
  EXPECT_EQ(-1, Ui().ComboSetCurSel(kPlainCombo, 7));
  if (GetParam() == "win32" && RunningUnderWine()) {
    EXPECT_EQ(1, Ui().ComboGetCurSel(kPlainCombo)) << "WINE DIFFERS: Wine keeps the selection";
  } else {
    EXPECT_EQ(-1, Ui().ComboGetCurSel(kPlainCombo));
  }
  Ui().ListInsertColumn(kListView, 0, "a", 70, 0);
  EXPECT_EQ(-1, Ui().ListInsertItem(kListView, -1, "Z", 1));
  EXPECT_EQ(0, Ui().ListInsertItem(kListView, 0, "C", 1));
  EXPECT_FALSE(Ui().ListSetItemText(kListView, 0, 2, "no such column"));
}

TEST_P(DialogUiConformance, ControlsKeepTextEnableAndShowState) {
  Ui().SetText(kEdit, "NoDrive");
  EXPECT_EQ("NoDrive", Ui().GetText(kEdit));
  Ui().SetText(kStatic, "コンパクトフラッシュ\n/マイクロドライブ");
  EXPECT_EQ("コンパクトフラッシュ\n/マイクロドライブ", Ui().GetText(kStatic));
  EXPECT_TRUE(Ui().IsEnabled(kButton));
  Ui().Enable(kButton, false);
  EXPECT_FALSE(Ui().IsEnabled(kButton));
  EXPECT_TRUE(Ui().IsVisible(kPlainCombo));
  Ui().Show(kPlainCombo, false);
  EXPECT_FALSE(Ui().IsVisible(kPlainCombo));
  Ui().Show(kPlainCombo, true);
  EXPECT_TRUE(Ui().IsVisible(kPlainCombo));
}

TEST_P(DialogUiConformance, MissingControlsChangeNothingAndAnswerFailure) {
  EXPECT_EQ("", Ui().GetText(kMissing));
  Ui().SetText(kMissing, "x");
  Ui().Enable(kMissing, true);
  EXPECT_FALSE(Ui().IsEnabled(kMissing));
  EXPECT_FALSE(Ui().IsVisible(kMissing));
  EXPECT_EQ(-1, Ui().ComboAddString(kMissing, "x"));
  EXPECT_EQ(-1, Ui().ComboFindString(kMissing, -1, "x"));
  EXPECT_EQ(-1, Ui().ListInsertItem(kMissing, 0, "x", 0));
  EXPECT_EQ(0, Ui().ListGetItemCount(kMissing));
  EXPECT_EQ(0, Ui().ClientWidth(kMissing));
}

INSTANTIATE_TEST_SUITE_P(Targets, DialogUiConformance, testing::ValuesIn(DialogTargets()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
}  // namespace conformance
