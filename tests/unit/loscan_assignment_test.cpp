// Pressing Set: the duplicate check and the writing of the chosen letters.
#include <gtest/gtest.h>

#include <string>

#include "loscan/duplicate_letters.h"
#include "resources/loscan/resource.h"
#include "tests/unit/test_loscan_machine.h"

namespace {

constexpr char kDone[] = "ドライブを設定しました。必ずデバイスを抜き差ししてください。";
constexpr char kCf[] = "USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20\\6&2f&0&1&0";
constexpr char kSd[] = "USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_SD&Rev_2.20\\6&2f&0&2&0";
constexpr char kEsdiCf[] = "ESDI\\NORVELL_NVR550S_CF______\\NVUSBSBI&DISK&0000USB&VID_3A7E&PID_0551";

// Model NVR-550S on XP with CF at F and SD at G.
void AddXpReader(LoscanMachine& m) {
  m.AddNtDisk(kCf, "Norvell NVR550S CF USB Device", "7&2f&0", 'F');
  m.AddNtDisk(kSd, "Norvell NVR550S SD USB Device", "7&2f&1", 'G');
}

TEST(DuplicateLetters, ReportsTheFirstEqualPairInRowOrder) {
  int i = -1, j = -1;
  const std::string distinct[kSlotRows] = {"F", "G", "", "", "H", ""};
  EXPECT_FALSE(FindDuplicateLetters(distinct, i, j));
  const std::string two[kSlotRows] = {"F", "K", "L", "K", "L", "F"};
  ASSERT_TRUE(FindDuplicateLetters(two, i, j));
  EXPECT_EQ(0, i);
  EXPECT_EQ(5, j);
  const std::string later[kSlotRows] = {"F", "K", "L", "K", "L", ""};
  ASSERT_TRUE(FindDuplicateLetters(later, i, j));
  EXPECT_EQ(1, i);
  EXPECT_EQ(3, j);
  // Rows without a choice never clash with each other.
  const std::string empty[kSlotRows] = {"", "", "", "", "", ""};
  EXPECT_FALSE(FindDuplicateLetters(empty, i, j));
}

TEST(Assignment, SetWritesTheChosenLettersAndAsksForAReplug) {
  LoscanMachine m("WinXP");
  AddXpReader(m);
  m.Open();
  m.Choose(0, "K");
  m.Choose(1, "L");
  m.dialog->OnSetClicked();

  EXPECT_EQ(LoscanMachine::XpRecord("7&2f&0"), m.MountRecordText('K'));
  EXPECT_EQ(LoscanMachine::XpRecord("7&2f&1"), m.MountRecordText('L'));
  EXPECT_EQ("", m.MountRecordText('F'));
  EXPECT_EQ("", m.MountRecordText('G'));
  ASSERT_EQ(1u, m.ui.messageBoxes.size());
  EXPECT_EQ(kDone, m.ui.messageBoxes[0].text);
  EXPECT_EQ("Loscan", m.ui.messageBoxes[0].caption);
  EXPECT_EQ(0x30u, m.ui.messageBoxes[0].style);  // OK button, exclamation icon
  for (int id : kNewLetterIds) EXPECT_FALSE(m.ui.IsEnabled(id));
  EXPECT_FALSE(m.ui.IsEnabled(IDC_SET));
  EXPECT_FALSE(m.ui.IsEnabled(IDC_REFRESH));
  // The dialog waits for the replug: the rows still show the old letters.
  EXPECT_EQ("F", m.ui.GetText(kCurrentLetterIds[0]));
}

TEST(Assignment, DuplicateLettersShowTheMessageAndWriteNothing) {
  LoscanMachine m("WinXP");
  AddXpReader(m);
  m.Open();
  const auto before = m.registry.SnapshotAll();
  m.Choose(0, "K");
  m.Choose(1, "K");
  m.dialog->OnSetClicked();
  ASSERT_EQ(1u, m.ui.messageBoxes.size());
  EXPECT_EQ("KドライブとKドライブが重複しています。", m.ui.messageBoxes[0].text);
  EXPECT_EQ("Loscan", m.ui.messageBoxes[0].caption);
  EXPECT_EQ(before, m.registry.SnapshotAll());
  // Nothing changed state: the user corrects the choice and presses Set again.
  EXPECT_TRUE(m.ui.IsEnabled(IDC_SET));
  EXPECT_TRUE(m.ui.IsEnabled(IDC_REFRESH));
  EXPECT_TRUE(m.ui.IsEnabled(kNewLetterIds[0]));
  m.Choose(1, "L");
  m.dialog->OnSetClicked();
  EXPECT_EQ(kDone, m.ui.messageBoxes.back().text);
  EXPECT_EQ(LoscanMachine::XpRecord("7&2f&1"), m.MountRecordText('L'));
}

TEST(Assignment, SlotWithoutAChoiceKeepsItsLetter) {
  LoscanMachine m("WinXP");
  AddXpReader(m);
  m.Open();
  m.Choose(0, "K");
  m.Choose(1, "");
  m.dialog->OnSetClicked();
  EXPECT_EQ(LoscanMachine::XpRecord("7&2f&0"), m.MountRecordText('K'));
  EXPECT_EQ(LoscanMachine::XpRecord("7&2f&1"), m.MountRecordText('G'));
}

TEST(Assignment, SetWhileDisabledDoesNothing) {
  LoscanMachine m("WinXP");
  m.Open();  // no reader: Set stays disabled
  const auto before = m.registry.SnapshotAll();
  m.dialog->OnSetClicked();
  EXPECT_TRUE(m.ui.messageBoxes.empty());
  EXPECT_EQ(before, m.registry.SnapshotAll());
  EXPECT_TRUE(m.ui.IsEnabled(IDC_REFRESH));
}

TEST(Assignment, TwoDriverModelWritesThroughTheGroupThatNamesItsDisks) {
  LoscanMachine m("WinXP");
  m.AddNtDisk("NVLSTOR\\DISK&VEN_NORVELL&PROD_NVR410U_CF\\8&1c0d&0&0000", "Norvell NVR410U CF",
              "9&aa01&0", 'H');
  m.Open();
  m.SelectModel("NVR-410U");
  m.Choose(0, "M");
  m.dialog->OnSetClicked();
  EXPECT_EQ(LoscanMachine::XpRecord("9&aa01&0"), m.MountRecordText('M'));
  EXPECT_EQ("", m.MountRecordText('H'));
}

TEST(Assignment, UsbStorageGroupIsWrittenAsWellWhenTheReaderIsThere) {
  LoscanMachine m("WinXP");
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR410U_SD\\6&9&0&4&0",
              "Norvell NVR410U SD USB Device", "7&9&3", 'J');
  m.Open();
  m.SelectModel("NVR-410U");
  m.Choose(3, "N");
  m.dialog->OnSetClicked();
  EXPECT_EQ(LoscanMachine::XpRecord("7&9&3"), m.MountRecordText('N'));
  EXPECT_EQ("", m.MountRecordText('J'));
}

TEST(Assignment, NinexWritesTheUserLetterOfTheDefaultForm) {
  LoscanMachine m("Win98");
  m.Add9xDisk(kEsdiCf, "NVR550S CF", 'F');
  m.Open();
  ASSERT_EQ("F", m.ui.GetText(kCurrentLetterIds[0]));
  m.Choose(0, "K");
  m.dialog->OnSetClicked();
  EXPECT_EQ(std::string("KK\0", 3), m.UserDriveLetter(kEsdiCf));
  EXPECT_EQ(kDone, m.ui.messageBoxes.back().text);
}

TEST(Assignment, WindowsMeWritesTheMeFormOnly) {
  const std::string meCf =
      "SCSI\\NORVELL_NVR550S_CF______\\USBSTOR&DISK&VEN_NORVELL&PROD_NVR550S_CF&REV_2.20";
  LoscanMachine m("WinMe");
  m.Add9xDisk(meCf, "NVR550S CF", 'F');
  m.Add9xDisk(kEsdiCf, "NVR550S CF", 'G');
  m.Open();
  m.Choose(0, "K");
  m.dialog->OnSetClicked();
  EXPECT_EQ(std::string("KK\0", 3), m.UserDriveLetter(meCf));
  EXPECT_EQ("", m.UserDriveLetter(kEsdiCf));
}

TEST(Assignment, RefreshStaysDisabledUntilTheDrivesChange) {
  LoscanMachine m("WinXP");
  AddXpReader(m);
  m.Open();
  m.Choose(0, "K");
  m.dialog->OnSetClicked();
  m.dialog->CheckDriveChange();
  EXPECT_FALSE(m.ui.IsEnabled(IDC_REFRESH));
  // A model change refreshes the rows and may enable Set, but not Refresh.
  m.SelectModel("NVR-540S");
  m.SelectModel("NVR-550S");
  EXPECT_TRUE(m.ui.IsEnabled(IDC_SET));
  EXPECT_FALSE(m.ui.IsEnabled(IDC_REFRESH));
  // Unplugging the reader changes the drive mask: the next message refreshes.
  m.system.RemoveDrive('F');
  m.system.RemoveDrive('G');
  m.dialog->CheckDriveChange();
  EXPECT_TRUE(m.ui.IsEnabled(IDC_REFRESH));
  EXPECT_EQ("K", m.ui.GetText(kCurrentLetterIds[0]));
  EXPECT_EQ("G", m.ui.GetText(kCurrentLetterIds[1]));
}

}  // namespace
