// Loscan's main dialog: initialisation, model layout and the automatic refresh check.
#include <gtest/gtest.h>

#include <string>

#include "loscan/loscan_dialog_layout.h"
#include "resources/loscan/resource.h"
#include "tests/unit/test_loscan_machine.h"

namespace {

TEST(LoscanDialog, StartsWithTheLastModelAndItsFiveSlotRows) {
  LoscanMachine m("WinXP");
  m.Open();
  const auto* device = m.ui.Find(IDC_DEVICE);
  ASSERT_EQ(19u, device->items.size());
  EXPECT_EQ("NVR-410U", device->items[0]);
  EXPECT_EQ("USB Storage Device", device->items[7]);
  EXPECT_EQ("NVR-550S", m.ui.GetText(IDC_DEVICE));
  EXPECT_EQ(18, device->curSel);
  for (int row = 0; row < 5; ++row) {
    EXPECT_TRUE(m.ui.IsVisible(kNewLetterIds[row])) << row;
    EXPECT_TRUE(m.ui.IsVisible(kCurrentLetterIds[row])) << row;
  }
  EXPECT_FALSE(m.ui.IsVisible(kNewLetterIds[5]));
  EXPECT_FALSE(m.ui.IsVisible(kCurrentLetterIds[5]));
  EXPECT_TRUE(m.ui.IsVisible(kSlotLabelIds[5]));  // the label stays, empty
  EXPECT_EQ("", m.ui.GetText(kSlotLabelIds[5]));
  EXPECT_EQ("コンパクトフラッシュ\n/マイクロドライブ", m.ui.GetText(kSlotLabelIds[0]));
  EXPECT_EQ("ＳＤメモリーカード\n/マルチメディアカード", m.ui.GetText(kSlotLabelIds[1]));
  EXPECT_EQ("メモリースティック\n/メモリースティック ＰＲＯ", m.ui.GetText(kSlotLabelIds[2]));
  EXPECT_EQ("スマートメディア\n/ｘＤ-ピクチャーカード", m.ui.GetText(kSlotLabelIds[3]));
  EXPECT_EQ("micro ＳＤメモリーカード", m.ui.GetText(kSlotLabelIds[4]));
}

TEST(LoscanDialog, StatusListGetsItsImagesAndColumns) {
  LoscanMachine m("WinXP");
  m.Open();
  const auto* list = m.ui.Find(IDC_STATUS_LIST);
  const auto* images = m.ui.FindImageList(list->smallImages);
  ASSERT_NE(nullptr, images);
  EXPECT_EQ(16, images->cx);
  EXPECT_EQ(16, images->cy);
  EXPECT_EQ(1, images->initial);
  EXPECT_EQ(1, images->grow);
  EXPECT_EQ((std::vector<int>{134, 135, 136, 137, 138, 139, 140, 145}), images->bitmaps);
  for (uint32_t mask : images->masks) EXPECT_EQ(0xFFFFFFu, mask);
  EXPECT_EQ((std::vector<std::string>{"ドライブ名", "機能", "機器"}), list->columnHeaders);
  // Width W of the client area: W / 2 - 44, truncated.
  const int half = kStatusListClientWidth / 2 - 44;
  EXPECT_EQ((std::vector<int>{70, half, half}), list->columnWidths);
}

TEST(LoscanDialog, OneSlotModelHidesRowsTwoToSixAndBlanksTheirLabels) {
  LoscanMachine m("WinXP");
  m.Open();
  m.SelectModel("NVR-113S");
  EXPECT_TRUE(m.ui.IsVisible(kNewLetterIds[0]));
  EXPECT_EQ("ｘＤ-ピクチャーカード", m.ui.GetText(kSlotLabelIds[0]));
  for (int row = 1; row < kSlotRows; ++row) {
    EXPECT_FALSE(m.ui.IsVisible(kNewLetterIds[row])) << row;
    EXPECT_FALSE(m.ui.IsVisible(kCurrentLetterIds[row])) << row;
    EXPECT_EQ("", m.ui.GetText(kSlotLabelIds[row])) << row;
  }
}

TEST(LoscanDialog, NameOutsideTheCatalogueLeavesEveryRowHidden) {
  LoscanMachine m("WinXP");
  m.Open();
  m.ui.ComboSetCurSel(IDC_DEVICE, -1);
  m.dialog->ApplyModelLayout();
  for (int row = 0; row < kSlotRows; ++row) {
    EXPECT_FALSE(m.ui.IsVisible(kNewLetterIds[row]));
    EXPECT_EQ("", m.ui.GetText(kSlotLabelIds[row]));
  }
  EXPECT_FALSE(m.ui.IsEnabled(IDC_SET));
  EXPECT_EQ(24, m.ui.ListGetItemCount(IDC_STATUS_LIST));
}

TEST(LoscanDialog, RefreshCheckWaitsForAChangeOfLogicalDrives) {
  LoscanMachine m("WinXP");
  m.Open();
  // The reader is plugged in: its records appear, and with them the drive.
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20\\6&2f&0&1&0",
              "Norvell NVR550S CF USB Device", "7&2f&0", 'F');
  m.system.RemoveDrive('F');
  m.dialog->CheckDriveChange();
  EXPECT_EQ("NoDrive", m.ui.GetText(kCurrentLetterIds[0]));
  m.system.SetDrive('F', platform::kDriveRemovable);
  m.dialog->CheckDriveChange();
  EXPECT_EQ("F", m.ui.GetText(kCurrentLetterIds[0]));
  EXPECT_EQ(m.system.GetLogicalDrives(), m.dialog->m_dwLastDrives);
}

TEST(LoscanDialog, RefreshButtonRereadsWithoutADriveChange) {
  LoscanMachine m("WinXP");
  m.Open();
  m.AddNtDisk("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20\\6&2f&0&1&0",
              "Norvell NVR550S CF USB Device", "7&2f&0", 'F');
  m.dialog->Refresh();
  EXPECT_EQ("F", m.ui.GetText(kCurrentLetterIds[0]));
  EXPECT_TRUE(m.ui.IsEnabled(IDC_REFRESH));
}

}  // namespace
