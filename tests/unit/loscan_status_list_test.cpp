// The drive-letter status list: one row per letter C to Z, and the letters it takes away from
// the new-letter choices.
#include <gtest/gtest.h>

#include <string>

#include "loscan/drive_status.h"
#include "resources/loscan/resource.h"
#include "tests/unit/test_loscan_machine.h"

namespace {

using Row = platform::DialogUiModel::ListRow;

const Row* RowOf(LoscanMachine& m, char letter) {
  for (const Row& row : m.ui.Find(IDC_STATUS_LIST)->rows)
    if (row.texts[0] == std::string(1, letter)) return &row;
  return nullptr;
}

std::string Column(const Row* row, size_t column) {
  return row != nullptr && row->texts.size() > column ? row->texts[column] : std::string();
}

std::string Choices(LoscanMachine& m, int row) {
  std::string letters;
  for (const std::string& item : m.ui.Find(kNewLetterIds[row])->items) letters += item;
  return letters;
}

TEST(DriveStatusClassification, EachDriveTypeHasItsImageTextAndPruning) {
  const char none[] = "";
  struct Case {
    unsigned type;
    int image;
    const char* kind;
    bool remove;
  } cases[] = {
      {0, 6, "不明なドライブ", true},       {1, 4, "現在使用されていません", false},
      {2, 0, "リムーバブルドライブ", false}, {3, 1, "固定ドライブ", true},
      {4, 3, "ネットワークドライブ", true},  {5, 2, "CD-ROMドライブ", true},
      {6, 5, "RAMドライブ", true},
  };
  for (const Case& c : cases) {
    DriveStatus s = ClassifyDrive(c.type, 'K', none, 0);
    EXPECT_TRUE(s.hasRow) << c.type;
    EXPECT_EQ(c.image, s.image) << c.type;
    EXPECT_STREQ(c.kind, s.kind) << c.type;
    EXPECT_EQ(c.remove, s.removeFromChoices) << c.type;
  }
  EXPECT_FALSE(ClassifyDrive(7, 'K', none, 0).hasRow);
  EXPECT_FALSE(ClassifyDrive(0xFFFFFFFFu, 'K', none, 0).hasRow);
  EXPECT_FALSE(ClassifyDrive(7, 'K', none, 0).removeFromChoices);
}

TEST(DriveStatusClassification, OnlyAnUnconnectedLetterCanShowAsReserved) {
  const char reserved[] = "HKz";
  DriveStatus s = ClassifyDrive(1, 'K', reserved, 3);
  EXPECT_EQ(7, s.image);
  EXPECT_STREQ("ネットワークドライブ予約", s.kind);
  EXPECT_TRUE(s.removeFromChoices);
  // Connected now: an ordinary network drive.
  EXPECT_EQ(3, ClassifyDrive(4, 'K', reserved, 3).image);
  // Letters are compared exactly, and only the first count of them.
  EXPECT_EQ(4, ClassifyDrive(1, 'Z', reserved, 3).image);
  EXPECT_EQ(4, ClassifyDrive(1, 'K', reserved, 1).image);
  EXPECT_EQ(4, ClassifyDrive(1, 'K', nullptr, 3).image);
}

TEST(StatusList, HasOneRowPerLetterFromCToZInOrder) {
  LoscanMachine m("WinXP");
  m.Open();
  const auto& rows = m.ui.Find(IDC_STATUS_LIST)->rows;
  ASSERT_EQ(24u, rows.size());
  for (size_t i = 0; i < rows.size(); ++i)
    EXPECT_EQ(std::string(1, static_cast<char>('C' + i)), rows[i].texts[0]);
  EXPECT_EQ(nullptr, RowOf(m, 'A'));
  EXPECT_EQ(nullptr, RowOf(m, 'B'));
  EXPECT_EQ(kImageFixed, RowOf(m, 'C')->image);
  EXPECT_EQ("固定ドライブ", Column(RowOf(m, 'C'), 1));
  EXPECT_EQ(kImageUnused, RowOf(m, 'D')->image);
  EXPECT_EQ("現在使用されていません", Column(RowOf(m, 'D'), 1));
}

TEST(StatusList, MarksTheSelectedReadersDrivesAndPrunesTakenLetters) {
  LoscanMachine m("WinXP");
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20\\6&2f&0&1&0",
              "Norvell NVR550S CF USB Device", "7&2f&0", 'F');
  m.system.SetDrive('D', platform::kDriveCdrom);
  m.system.SetDrive('E', platform::kDriveUnknown);
  m.system.SetDrive('G', platform::kDriveRemovable);  // a removable drive of something else
  m.system.SetDrive('R', platform::kDriveRamdisk);
  m.system.SetDrive('Y', 7);                           // a type Windows does not define
  m.system.SetDrive('Z', platform::kDriveRemote);
  m.Open();

  EXPECT_EQ(kImageRemovable, RowOf(m, 'F')->image);
  EXPECT_EQ("リムーバブルドライブ", Column(RowOf(m, 'F'), 1));
  EXPECT_EQ("NVR-550S", Column(RowOf(m, 'F'), 2));
  EXPECT_EQ("リムーバブルドライブ", Column(RowOf(m, 'G'), 1));
  EXPECT_EQ("", Column(RowOf(m, 'G'), 2));
  EXPECT_EQ(kImageCdrom, RowOf(m, 'D')->image);
  EXPECT_EQ(kImageUnknown, RowOf(m, 'E')->image);
  EXPECT_EQ(kImageRamdisk, RowOf(m, 'R')->image);
  EXPECT_EQ(kImageNetwork, RowOf(m, 'Z')->image);
  EXPECT_EQ(nullptr, RowOf(m, 'Y'));
  EXPECT_EQ(23u, m.ui.Find(IDC_STATUS_LIST)->rows.size());

  // Every row offers free and removable letters only, kept sorted.
  for (int row = 0; row < kSlotRows; ++row) EXPECT_EQ("FGHIJKLMNOPQSTUVWXY", Choices(m, row));
  EXPECT_EQ("F", m.ui.GetText(kNewLetterIds[0]));
}

TEST(StatusList, CurrentLetterTakenByAFixedDriveIsNotOffered) {
  LoscanMachine m("WinXP");
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20\\6&2f&0&1&0",
              "Norvell NVR550S CF USB Device", "7&2f&0", 'K');
  m.system.SetDrive('K', platform::kDriveFixed);  // a stale record: K is a hard disk now
  CLoscanDlg& d = m.Open();
  EXPECT_EQ("K", m.ui.GetText(kCurrentLetterIds[0]));
  EXPECT_EQ("K", d.m_strCurLetter[0]);
  EXPECT_TRUE(m.ui.IsEnabled(kNewLetterIds[0]));
  EXPECT_EQ(-1, m.ui.ComboGetCurSel(kNewLetterIds[0]));
  EXPECT_EQ(std::string::npos, Choices(m, 0).find('K'));
  EXPECT_EQ("", Column(RowOf(m, 'K'), 2));
}

TEST(StatusList, ReservedLetterIsMarkedAndTakenAwayUnlessConnected) {
  LoscanMachine m("WinXP");
  m.AddReservation("H", "\\\\server\\share");
  m.AddReservation("Z", "\\\\server\\home");
  m.system.SetDrive('Z', platform::kDriveRemote);
  m.Open();
  EXPECT_EQ(kImageReserved, RowOf(m, 'H')->image);
  EXPECT_EQ("ネットワークドライブ予約", Column(RowOf(m, 'H'), 1));
  EXPECT_EQ(kImageNetwork, RowOf(m, 'Z')->image);
  EXPECT_EQ("ネットワークドライブ", Column(RowOf(m, 'Z'), 1));
  EXPECT_EQ("DEFGIJKLMNOPQRSTUVWXY", Choices(m, 0));
}

TEST(StatusList, UnknownModelLeavesTheDeviceColumnEmpty) {
  LoscanMachine m("WinXP");
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20\\6&2f&0&1&0",
              "Norvell NVR550S CF USB Device", "7&2f&0", 'F');
  m.Open();
  m.ui.ComboSetCurSel(IDC_DEVICE, -1);
  m.dialog->ApplyModelLayout();
  EXPECT_EQ(24u, m.ui.Find(IDC_STATUS_LIST)->rows.size());
  EXPECT_EQ("リムーバブルドライブ", Column(RowOf(m, 'F'), 1));
  EXPECT_EQ("", Column(RowOf(m, 'F'), 2));
}

TEST(StatusList, IsRebuiltFromScratchByEveryRefresh) {
  LoscanMachine m("WinXP");
  m.Open();
  m.system.SetDrive('M', platform::kDriveCdrom);
  m.dialog->Refresh();
  EXPECT_EQ(24u, m.ui.Find(IDC_STATUS_LIST)->rows.size());
  EXPECT_EQ(kImageCdrom, RowOf(m, 'M')->image);
  EXPECT_EQ(std::string::npos, Choices(m, 0).find('M'));
}

}  // namespace
