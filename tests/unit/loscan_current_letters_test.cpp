// The current-letter pass: which letter each slot of the selected model has now.
#include <gtest/gtest.h>

#include <string>

#include "resources/loscan/resource.h"
#include "tests/unit/test_loscan_machine.h"

namespace {

constexpr char kCf550S[] = "USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20";
constexpr char kSd550S[] = "USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_SD&Rev_2.20";
constexpr char kCf410U[] = "USBSTOR\\Disk&Ven_Norvell&Prod_NVR410U_CF";

std::string Current(LoscanMachine& m, int row) { return m.ui.GetText(kCurrentLetterIds[row]); }
bool ComboEnabled(LoscanMachine& m, int row) { return m.ui.IsEnabled(kNewLetterIds[row]); }
std::string Chosen(LoscanMachine& m, int row) { return m.ui.GetText(kNewLetterIds[row]); }

TEST(CurrentLetters, XpFindsEachSlotByItsUsbStorageIdAndPreselectsItsLetter) {
  LoscanMachine m("WinXP");
  m.AddNtDisk(std::string(kCf550S) + "\\6&2f0c1a3&0&0001&0", "Norvell NVR550S CF USB Device",
              "7&2f0c1a3&0", 'F');
  m.AddNtDisk(std::string(kSd550S) + "\\6&2f0c1a3&0&0002&0", "Norvell NVR550S SD USB Device",
              "7&2f0c1a3&1", 'G');
  CLoscanDlg& d = m.Open();
  EXPECT_EQ("F", Current(m, 0));
  EXPECT_EQ("G", Current(m, 1));
  for (int row = 2; row < kSlotRows; ++row) {
    EXPECT_EQ("NoDrive", Current(m, row));
    EXPECT_FALSE(ComboEnabled(m, row));
    EXPECT_EQ(-1, m.ui.ComboGetCurSel(kNewLetterIds[row]));
    EXPECT_EQ("", d.m_strCurLetter[row]);
  }
  EXPECT_TRUE(ComboEnabled(m, 0));
  EXPECT_TRUE(ComboEnabled(m, 1));
  EXPECT_TRUE(m.ui.IsEnabled(IDC_SET));
  EXPECT_EQ("F", Chosen(m, 0));
  EXPECT_EQ("G", Chosen(m, 1));
  EXPECT_EQ("F", d.m_strCurLetter[0]);
}

TEST(CurrentLetters, NoSlotFoundLeavesSetDisabledAndEveryRowEmpty) {
  LoscanMachine m("WinXP");
  m.Open();
  EXPECT_FALSE(m.ui.IsEnabled(IDC_SET));
  for (int row = 0; row < 5; ++row) {
    EXPECT_EQ("NoDrive", Current(m, row));
    EXPECT_FALSE(ComboEnabled(m, row));
    EXPECT_EQ(-1, m.ui.ComboGetCurSel(kNewLetterIds[row]));
  }
}

TEST(CurrentLetters, ReaderUnderTheChipDriverIsFoundThroughTheSecondGroup) {
  LoscanMachine m("WinXP");
  m.AddNtDisk("NVLSTOR\\DISK&VEN_NORVELL&PROD_NVR410U_CF\\8&1c0d&0&0000", "Norvell NVR410U CF",
              "9&aa01&0", 'H');
  m.AddNtDisk("NVLSTOR\\DISK&VEN_NORVELL&PROD_NVR410U_SD\\8&1c0d&0&0003", "Norvell NVR410U SD",
              "9&aa01&3", 'I');
  m.Open();
  m.SelectModel("NVR-410U");
  EXPECT_EQ("H", Current(m, 0));
  EXPECT_EQ("NoDrive", Current(m, 1));
  EXPECT_EQ("NoDrive", Current(m, 2));
  EXPECT_EQ("I", Current(m, 3));
}

// A disk whose NT instance id carries the 9x form of the SD slot's id: only the pass over the
// secondary ids can find it, which shows whether that pass ran.
void AddDiskOnlyTheSecondPassFinds(LoscanMachine& m) {
  m.AddNtDisk("SCSI\\NORVELL_NVR410U_SD______\\5&1&0", "Norvell NVR410U SD", "6&5&0", 'J');
}

TEST(CurrentLetters, SecondPassRunsWhenOnlyTheFirstGroupFoundAndKeepsItsLetters) {
  LoscanMachine m("WinXP");
  m.AddNtDisk(std::string(kCf410U) + "\\6&11&0&0001&0", "Norvell NVR410U CF USB Device",
              "7&11&0", 'F');
  AddDiskOnlyTheSecondPassFinds(m);
  m.Open();
  m.SelectModel("NVR-410U");
  // The count tested after the first pass covers its last group only, which found nothing.
  EXPECT_EQ("J", Current(m, 3));
  EXPECT_EQ("F", Current(m, 0));
  EXPECT_EQ("F", m.dialog->m_strCurLetter[0]);
  EXPECT_TRUE(ComboEnabled(m, 0));
  EXPECT_TRUE(m.ui.IsEnabled(IDC_SET));
}

TEST(CurrentLetters, PassEndsWhenTheLastPrimaryGroupFoundALetter) {
  LoscanMachine m("WinXP");
  m.AddNtDisk("NVLSTOR\\DISK&VEN_NORVELL&PROD_NVR410U_CF\\8&1c0d&0&0000", "Norvell NVR410U CF",
              "9&aa01&0", 'H');
  AddDiskOnlyTheSecondPassFinds(m);
  m.Open();
  m.SelectModel("NVR-410U");
  EXPECT_EQ("H", Current(m, 0));
  EXPECT_EQ("NoDrive", Current(m, 3));
}

TEST(CurrentLetters, TheLastIdOfASlotThatFindsALetterWins) {
  LoscanMachine m("WinXP");
  m.AddNtDisk(std::string(kCf410U) + "\\6&11&0&0001&0", "Norvell NVR410U CF USB Device",
              "7&11&0", 'F');
  m.AddNtDisk("NVLSTOR\\DISK&VEN_NORVELL&PROD_NVR410U_CF\\8&1c0d&0&0000", "Norvell NVR410U CF",
              "9&aa01&0", 'K');
  m.Open();
  m.SelectModel("NVR-410U");
  EXPECT_EQ("K", Current(m, 0));
  EXPECT_EQ("K", Chosen(m, 0));
}

TEST(CurrentLetters, NameFilterKeepsOutAnotherReadersDisk) {
  LoscanMachine m("WinXP");
  // Same ids as the one-slot reader NVR-111S, but the friendly name belongs to another product.
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR111S_MS\\6&1&0&1&0", "Acme Memory Stick Reader",
              "7&1&0", 'F');
  m.Open();
  m.SelectModel("NVR-111S");
  EXPECT_EQ("NoDrive", Current(m, 0));
  EXPECT_FALSE(m.ui.IsEnabled(IDC_SET));
}

TEST(CurrentLetters, PlainModelIsFoundWithoutItsFilterAndMapsEveryIdToItsOneSlot) {
  LoscanMachine m("WinXP");
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR110M_MINISD\\6&1&0&1&0", "USB Card Reader",
              "7&1&0", 'J');
  m.Open();
  m.SelectModel("NVR-110M");
  EXPECT_EQ("J", Current(m, 0));
  EXPECT_TRUE(m.ui.IsVisible(kNewLetterIds[0]));
  EXPECT_FALSE(m.ui.IsVisible(kNewLetterIds[1]));
}

TEST(CurrentLetters, PlainTwoDriverModelIsFoundUnderItsOwnDriverInSlotOrder) {
  LoscanMachine m("WinXP");
  m.AddNtDisk("NVDUSBSB\\NVD1\\5&77&0", "", "8&77&1", 'M');
  m.Open();
  m.SelectModel("NVR-221D");
  EXPECT_EQ("NoDrive", Current(m, 0));
  EXPECT_EQ("M", Current(m, 1));
}

TEST(CurrentLetters, LetterIsShownAsTheRegistryRecordsItAndSelectedIgnoringCase) {
  LoscanMachine m("WinXP");
  m.AddNtDisk(std::string(kCf550S) + "\\6&2f&0&0001&0", "Norvell NVR550S CF USB Device", "7&2f&0",
              'f');
  CLoscanDlg& d = m.Open();
  EXPECT_EQ("f", Current(m, 0));
  EXPECT_EQ("f", d.m_strCurLetter[0]);
  EXPECT_EQ("F", Chosen(m, 0));
}

TEST(CurrentLetters, NinexFindsTheDefaultFormThroughTheSecondPass) {
  LoscanMachine m("Win98");
  m.Add9xDisk("ESDI\\NORVELL_NVR550S_CF______\\NVUSBSBI&DISK&0000USB&VID_3A7E&PID_0551",
              "NVR550S CF", 'F');
  m.Add9xDisk("ESDI\\NORVELL_NVR550S_MICROSD_\\NVUSBSBI&DISK&0000USB&VID_3A7E&PID_0551",
              "NVR550S MICROSD", 'J');
  // The Windows Me form is not what Windows 98 writes.
  m.Add9xDisk("SCSI\\NORVELL_NVR550S_SD______\\USBSTOR&DISK&VEN_NORVELL&PROD_NVR550S_SD&REV_2.20",
              "NVR550S SD", 'G');
  m.Open();
  EXPECT_EQ("F", Current(m, 0));
  EXPECT_EQ("NoDrive", Current(m, 1));
  EXPECT_EQ("J", Current(m, 4));
}

TEST(CurrentLetters, WindowsMeUsesOnlyTheMeFormOfTheSecondaryIds) {
  LoscanMachine m("WinMe");
  m.Add9xDisk("ESDI\\NORVELL_NVR550S_CF______\\NVUSBSBI&DISK&0000USB&VID_3A7E&PID_0551",
              "NVR550S CF", 'F');
  m.Add9xDisk("SCSI\\NORVELL_NVR550S_SD______\\USBSTOR&DISK&VEN_NORVELL&PROD_NVR550S_SD&REV_2.20",
              "NVR550S SD", 'G');
  m.Open();
  EXPECT_EQ("NoDrive", Current(m, 0));
  EXPECT_EQ("G", Current(m, 1));
}

TEST(CurrentLetters, NinexProductIdMustHoldTheFilter) {
  LoscanMachine m("Win98");
  m.Add9xDisk("ESDI\\NORVELL_NVR550S_CF______\\NVUSBSBI&DISK&0000USB&VID_3A7E&PID_0551",
              "CARD READER", 'F');
  m.Open();
  EXPECT_EQ("NoDrive", Current(m, 0));
}

TEST(CurrentLetters, VistaRecognisesTheMountRecordByTheUsbStorageId) {
  LoscanMachine m("WinVista");
  m.AddVistaDisk(kSd550S, "6&2f0c1a3&0&0002", 'G');
  m.Open();
  EXPECT_EQ("NoDrive", Current(m, 0));
  EXPECT_EQ("G", Current(m, 1));
}

TEST(CurrentLetters, ModelChangeReplacesTheRowsOfThePreviousModel) {
  LoscanMachine m("WinXP");
  m.AddNtDisk(std::string(kSd550S) + "\\6&2f&0&0002&0", "Norvell NVR550S SD USB Device", "7&2f&1",
              'G');
  CLoscanDlg& d = m.Open();
  ASSERT_EQ("G", Current(m, 1));
  m.SelectModel("NVR-540S");
  EXPECT_EQ("NoDrive", Current(m, 1));
  EXPECT_FALSE(ComboEnabled(m, 1));
  EXPECT_EQ("", d.m_strCurLetter[1]);
  EXPECT_FALSE(m.ui.IsEnabled(IDC_SET));
}

}  // namespace
