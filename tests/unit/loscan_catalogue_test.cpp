#include "loscan/device_catalogue.h"

#include <gtest/gtest.h>

#include <string>

#include "common/reader_catalogue.h"

namespace {

struct Catalogue {
  explicit Catalogue(const char* osVersion) { BuildDeviceCatalogue(models, osVersion); }
  DeviceModel models[kModelCount];
};

TEST(LoscanCatalogue, ListShapesAndModesFollowTheModelTable) {
  const int slots[kModelCount] = {4, 4, 3, 2, 2, 1, 4, 1, 1, 1, 1, 2, 4, 2, 2, 2, 5, 4, 5};
  const int primary[kModelCount] = {8, 8, 6, 4, 4, 1, 8, 1, 1, 1, 1, 4, 8, 4, 4, 4, 10, 8, 10};
  const int secondary[kModelCount] = {4, 4, 3, 2, 4, 1, 4, 1, 1, 1, 1, 2, 4, 2, 2, 2, 5, 4, 5};
  Catalogue c("WinXP");
  for (int i = 0; i < kModelCount; ++i) {
    const DeviceModel& m = c.models[i];
    SCOPED_TRACE("position " + std::to_string(i + 1));
    EXPECT_EQ(slots[i], m.nSlots);
    EXPECT_EQ(primary[i], m.nPrimaryIds);
    EXPECT_EQ(secondary[i], m.nSecondaryIds);
    EXPECT_EQ(i == 4 || i == 5 ? kLookupPlain : kLookupFiltered, m.nLookupMode);
    for (int k = 0; k < kMaxModelIds; ++k) {
      EXPECT_EQ(k < m.nPrimaryIds, !m.aPrimaryIds[k].empty()) << k;
      EXPECT_EQ(k < m.nSecondaryIds, !m.aSecondaryIds[k].empty()) << k;
      // One filter per slot, all the same; none beyond the slots.
      EXPECT_EQ(k < m.nSlots ? m.aPrimaryFilters[0] : std::string(), m.aPrimaryFilters[k]);
      EXPECT_EQ(k < m.nSlots ? m.aSecondaryFilters[0] : std::string(), m.aSecondaryFilters[k]);
    }
    EXPECT_FALSE(m.aPrimaryFilters[0].empty());
    for (int s = 0; s < kSlotRows; ++s) EXPECT_EQ(s < m.nSlots, !m.aSlotLabels[s].empty()) << s;
  }
}

TEST(LoscanCatalogue, ModelsKeepTheReaderOrderAndLabels) {
  Catalogue c("WinXP");
  const std::vector<ReaderProduct> readers = ReaderCatalogue();
  for (int i = 0; i < kModelCount; ++i) {
    EXPECT_EQ(readers[i].modelName, c.models[i].strName);
    for (int s = 0; s < c.models[i].nSlots; ++s)
      EXPECT_EQ(readers[i].slots[s].label, c.models[i].aSlotLabels[s]);
  }
  EXPECT_EQ("コンパクトフラッシュ\n/マイクロドライブ", c.models[18].aSlotLabels[0]);
  EXPECT_EQ("micro ＳＤメモリーカード", c.models[18].aSlotLabels[4]);
  EXPECT_EQ("ｍｉｎｉＳＤカード", c.models[5].aSlotLabels[0]);
}

TEST(LoscanCatalogue, SecondGroupAddressesTheSameSlotsInTheSameOrder) {
  Catalogue c("WinXP");
  // Position 1: USB storage ids, then the chip driver's two-part ids numbered by slot.
  const DeviceModel& m1 = c.models[0];
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(0u, m1.aPrimaryIds[s].find("USBSTOR\\Disk&Ven_Norvell&Prod_NVR410U_"));
    EXPECT_EQ("NVLSTOR\\DISK**000" + std::to_string(s), m1.aPrimaryIds[4 + s]);
  }
  // Position 5: the reader's own driver; its 9x ids under ESDI first, then under SCSI.
  const DeviceModel& m5 = c.models[4];
  EXPECT_EQ("NVDUSBSB\\NVD0", m5.aPrimaryIds[2]);
  EXPECT_EQ("NVDUSBSB\\NVD1", m5.aPrimaryIds[3]);
  EXPECT_EQ(0u, m5.aSecondaryIds[0].find("ESDI\\"));
  EXPECT_EQ(0u, m5.aSecondaryIds[2].find("SCSI\\"));
  EXPECT_EQ(m5.aSecondaryIds[0].substr(4), m5.aSecondaryIds[2].substr(4));
  EXPECT_EQ(m5.aSecondaryIds[1].substr(4), m5.aSecondaryIds[3].substr(4));
  // Position 19: display names name the same slot as the USB storage id of the same index.
  const DeviceModel& m19 = c.models[18];
  EXPECT_EQ("USBSTOR\\Disk&Ven_Norvell&Prod_NVR550S_CF&Rev_2.20", m19.aPrimaryIds[0]);
  EXPECT_EQ("Norvell NVR550S CF", m19.aPrimaryIds[5]);
  EXPECT_EQ("Norvell NVR550S MICROSD", m19.aPrimaryIds[9]);
}

TEST(LoscanCatalogue, GenericModelCarriesTheLiteralIds) {
  Catalogue c("WinXP");
  const DeviceModel& m = c.models[7];
  EXPECT_EQ("USBSTOR\\Disk&Ven_Generic&Prod_STORAGE_DEVICE", m.aPrimaryIds[0]);
  EXPECT_EQ("SCSI\\GENERIC_STORAGE_DEVICE__1", m.aSecondaryIds[0]);
  EXPECT_EQ("STORAGE", m.aPrimaryFilters[0]);
  EXPECT_EQ("STORAGE", m.aSecondaryFilters[0]);
}

TEST(LoscanCatalogue, WindowsMeTakesTheMeFormOfFourModelsOnly) {
  Catalogue xp("Win98"), me("WinMe");
  for (int i = 0; i < kModelCount; ++i) {
    const bool variant = i == 12 || i == 16 || i == 17 || i == 18;
    const DeviceModel& a = xp.models[i];
    const DeviceModel& b = me.models[i];
    ASSERT_EQ(a.nSecondaryIds, b.nSecondaryIds);
    for (int k = 0; k < a.nSecondaryIds; ++k) {
      EXPECT_EQ(variant, a.aSecondaryIds[k] != b.aSecondaryIds[k]) << i + 1 << "/" << k;
      if (variant) {
        EXPECT_EQ(0u, b.aSecondaryIds[k].find("SCSI\\")) << b.aSecondaryIds[k];
        EXPECT_NE(std::string::npos, b.aSecondaryIds[k].find("\\USBSTOR&DISK&VEN_NORVELL&PROD_"));
      }
    }
    for (int k = 0; k < a.nPrimaryIds; ++k) EXPECT_EQ(a.aPrimaryIds[k], b.aPrimaryIds[k]);
  }
  // The default forms of positions 17 and 19 are under the reader's ESDI driver.
  EXPECT_NE(std::string::npos, xp.models[16].aSecondaryIds[0].find("ESDI\\"));
  EXPECT_NE(std::string::npos, xp.models[16].aSecondaryIds[0].find("\\NVUSBSBI&DISK&0000USB&VID_3A7E&PID_0550"));
  EXPECT_NE(std::string::npos, xp.models[12].aSecondaryIds[3].find("\\USBSTOR&DISK&0000USB&VID_3A7E&PID_0540"));
  // A tag is compared exactly.
  Catalogue lower("winme");
  EXPECT_EQ(xp.models[18].aSecondaryIds[0], lower.models[18].aSecondaryIds[0]);
}

TEST(LoscanCatalogue, FindModelIsExactAndCaseSensitive) {
  Catalogue c("WinXP");
  EXPECT_EQ(18, FindModelIn(c.models, "NVR-550S"));
  EXPECT_EQ(0, FindModelIn(c.models, "NVR-410U"));
  EXPECT_EQ(7, FindModelIn(c.models, "USB Storage Device"));
  EXPECT_EQ(-1, FindModelIn(c.models, "nvr-550s"));
  EXPECT_EQ(-1, FindModelIn(c.models, "NVR-550"));
  EXPECT_EQ(-1, FindModelIn(c.models, "NVR-550S "));
  EXPECT_EQ(-1, FindModelIn(c.models, ""));
}

}  // namespace
