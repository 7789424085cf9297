// The in-memory dialog seam keeps the combo-box and list-view semantics of Win32.
#include "platform/twin/twin_dialog_ui.h"

#include <gtest/gtest.h>

namespace {

using Kind = platform::DialogUiModel::Kind;
constexpr int kSorted = 10, kUnsorted = 11, kList = 12, kEdit = 13;

class DialogUiModelTest : public testing::Test {
 protected:
  DialogUiModelTest() {
    ui.AddControl(kSorted, Kind::kComboBox).sorted = true;
    ui.AddControl(kUnsorted, Kind::kComboBox);
    ui.AddControl(kList, Kind::kListView).clientWidth = 200;
    ui.AddControl(kEdit, Kind::kEdit, "text");
  }
  std::string Items(int id) {
    std::string all;
    for (const std::string& item : ui.Find(id)->items) all += item + ",";
    return all;
  }
  platform::DialogUiModel ui;
};

TEST_F(DialogUiModelTest, SortedComboInsertsInOrderIgnoringCase) {
  EXPECT_EQ(0, ui.ComboAddString(kSorted, "M"));
  EXPECT_EQ(0, ui.ComboAddString(kSorted, "c"));
  EXPECT_EQ(2, ui.ComboAddString(kSorted, "Z"));
  EXPECT_EQ(1, ui.ComboAddString(kSorted, "D"));
  EXPECT_EQ("c,D,M,Z,", Items(kSorted));
  ui.ComboAddString(kUnsorted, "M");
  ui.ComboAddString(kUnsorted, "C");
  EXPECT_EQ("M,C,", Items(kUnsorted));
}

TEST_F(DialogUiModelTest, FindStringIsACaseInsensitivePrefixSearchThatWraps) {
  for (const char* s : {"Alpha", "beta", "Bravo", "charlie"}) ui.ComboAddString(kUnsorted, s);
  EXPECT_EQ(1, ui.ComboFindString(kUnsorted, -1, "B"));
  EXPECT_EQ(2, ui.ComboFindString(kUnsorted, 1, "b"));
  EXPECT_EQ(1, ui.ComboFindString(kUnsorted, 2, "b"));  // past the end, from the top
  EXPECT_EQ(3, ui.ComboFindString(kUnsorted, -1, "CHAR"));
  EXPECT_EQ(-1, ui.ComboFindString(kUnsorted, -1, "charlies"));
  EXPECT_EQ(-1, ui.ComboFindString(kUnsorted, -1, "lpha"));  // a prefix, not a substring
  EXPECT_EQ(0, ui.ComboFindString(kUnsorted, 99, "a"));
  EXPECT_EQ(-1, ui.ComboFindString(kSorted, -1, "a"));  // empty list
}

TEST_F(DialogUiModelTest, SelectionFollowsItsItemThroughInsertsAndDeletes) {
  for (const char* s : {"D", "F", "H"}) ui.ComboAddString(kSorted, s);
  EXPECT_EQ(1, ui.ComboSetCurSel(kSorted, 1));
  EXPECT_EQ("F", ui.GetText(kSorted));
  ui.ComboAddString(kSorted, "C");  // above the selection
  EXPECT_EQ(2, ui.ComboGetCurSel(kSorted));
  EXPECT_EQ("F", ui.GetText(kSorted));
  EXPECT_EQ(3, ui.ComboDeleteString(kSorted, 0));
  EXPECT_EQ(1, ui.ComboGetCurSel(kSorted));
  ui.ComboDeleteString(kSorted, 2);  // below it
  EXPECT_EQ("F", ui.GetText(kSorted));
  ui.ComboDeleteString(kSorted, 1);  // the selected item itself
  EXPECT_EQ(-1, ui.ComboGetCurSel(kSorted));
  EXPECT_EQ("", ui.GetText(kSorted));
  EXPECT_EQ(-1, ui.ComboDeleteString(kSorted, 5));
  EXPECT_EQ(-1, ui.ComboSetCurSel(kSorted, 7));
  ui.ComboResetContent(kSorted);
  EXPECT_EQ(0, ui.ComboGetCount(kSorted));
}

TEST_F(DialogUiModelTest, ListViewAppendsRowsAndKeepsSubItems) {
  EXPECT_EQ(0, ui.ListInsertColumn(kList, 0, "a", 70, 0));
  EXPECT_EQ(1, ui.ListInsertColumn(kList, 5, "b", 30, 1));
  EXPECT_EQ(0, ui.ListInsertItem(kList, 0, "C", 1));
  EXPECT_EQ(1, ui.ListInsertItem(kList, 9, "D", 2));
  EXPECT_TRUE(ui.ListSetItemText(kList, 1, 1, "fixed"));
  EXPECT_FALSE(ui.ListSetItemText(kList, 1, 2, "no third column"));
  EXPECT_FALSE(ui.ListSetItemText(kList, 2, 0, "no row"));
  EXPECT_EQ(2, ui.ListGetItemCount(kList));
  EXPECT_EQ("fixed", ui.Find(kList)->rows[1].texts[1]);
  EXPECT_TRUE(ui.ListDeleteAllItems(kList));
  EXPECT_EQ(0, ui.ListGetItemCount(kList));
  EXPECT_EQ(200, ui.ClientWidth(kList));
}

TEST_F(DialogUiModelTest, MissingControlsAnswerLikeANullWindow) {
  EXPECT_EQ("", ui.GetText(999));
  ui.SetText(999, "x");
  ui.Enable(999, true);
  EXPECT_FALSE(ui.IsEnabled(999));
  EXPECT_FALSE(ui.IsVisible(999));
  EXPECT_EQ(-1, ui.ComboAddString(999, "x"));
  EXPECT_EQ(-1, ui.ComboAddString(kEdit, "x"));  // not a combo box
  EXPECT_EQ(-1, ui.ListInsertItem(kSorted, 0, "x", 0));
  EXPECT_EQ(0, ui.ListGetItemCount(999));
}

TEST_F(DialogUiModelTest, MessageBoxesAreLoggedAndAnsweredFromTheScript) {
  ui.answers.push_back(7);
  EXPECT_EQ(7, ui.MessageBox("one", "Loscan", 0x34));
  EXPECT_EQ(1, ui.MessageBox("two", "Loscan", 0x30));
  ASSERT_EQ(2u, ui.messageBoxes.size());
  EXPECT_EQ("one", ui.messageBoxes[0].text);
  EXPECT_EQ(0x30u, ui.messageBoxes[1].style);
}

}  // namespace
