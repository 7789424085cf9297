#include "common/reader_catalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform/text/mbcs_text.h"

namespace {

const std::vector<ReaderProduct>& Catalogue() {
  static const std::vector<ReaderProduct> readers = ReaderCatalogue();
  return readers;
}

// Slot labels per position, as the dialog shows them (label numbers 1..16).
const std::vector<std::vector<int>> kExpectedLabels = {
    {1, 2, 3, 4}, {1, 5, 3, 4}, {6, 7, 8}, {6, 8}, {6, 8},  {8},          {1, 5, 9, 4},
    {1},          {10},         {11},      {7},    {1, 12}, {1, 9, 4, 5}, {1, 12},
    {1, 13},      {14, 15},     {1, 4, 5, 9, 16},  {1, 9, 4, 5},          {1, 4, 5, 9, 16},
};

TEST(ReaderCatalogue, HoldsNineteenReadersInPositionOrderWithTheirSlotCounts) {
  const int slotCounts[kReaderCount] = {4, 4, 3, 2, 2, 1, 4, 1, 1, 1, 1, 2, 4, 2, 2, 2, 5, 4, 5};
  ASSERT_EQ(size_t{kReaderCount}, Catalogue().size());
  for (int i = 0; i < kReaderCount; ++i) {
    EXPECT_EQ(i + 1, Catalogue()[i].position);
    EXPECT_EQ(slotCounts[i], Catalogue()[i].slotCount) << "position " << i + 1;
  }
}

TEST(ReaderCatalogue, RegistryKeyByIndexIsTheCataloguesOwnAndEmptyOutsideIt) {
  for (int i = 0; i < kReaderCount; ++i)
    EXPECT_EQ(Catalogue()[i].registryKey, ReaderRegistryKey(i)) << "index " << i;
  EXPECT_EQ("", ReaderRegistryKey(-1));
  EXPECT_EQ("", ReaderRegistryKey(kReaderCount));
}

TEST(ReaderCatalogue, SlotLabelsFollowTheDialogTable) {
  for (int i = 0; i < kReaderCount; ++i) {
    const ReaderProduct& r = Catalogue()[i];
    ASSERT_EQ(kExpectedLabels[i].size(), size_t(r.slotCount)) << "position " << i + 1;
    for (int s = 0; s < r.slotCount; ++s) {
      EXPECT_EQ(kExpectedLabels[i][s], r.slots[s].labelNumber) << i + 1 << "/" << s;
      EXPECT_EQ(SlotLabelText(kExpectedLabels[i][s]), r.slots[s].label);
    }
    for (int s = r.slotCount; s < kMaxReaderSlots; ++s) {
      EXPECT_TRUE(r.slots[s].label.empty());
      EXPECT_TRUE(r.slots[s].primaryIds[0].empty());
    }
  }
}

TEST(ReaderCatalogue, LabelTextsAreTheDialogsOwn) {
  EXPECT_EQ("コンパクトフラッシュ\n/マイクロドライブ", SlotLabelText(1));
  EXPECT_EQ("ｍｉｎｉＳＤカード", SlotLabelText(8));
  EXPECT_EQ("SD / MMC / Memory Stick\n/ xD / SmartMedia", SlotLabelText(12));
  EXPECT_EQ("micro ＳＤメモリーカード", SlotLabelText(16));
  EXPECT_EQ("", SlotLabelText(0));
  EXPECT_EQ("", SlotLabelText(17));
}

TEST(ReaderCatalogue, SecondNtGroupKindsFollowTheTable) {
  using G = SecondIdGroup;
  const G kinds[kReaderCount] = {G::kTwoPart, G::kTwoPart, G::kTwoPart, G::kTwoPart,
                                 G::kDriverSpecific, G::kNone, G::kTwoPart, G::kNone,
                                 G::kNone, G::kNone, G::kNone, G::kTwoPart, G::kDisplayName,
                                 G::kDisplayName, G::kDisplayName, G::kDisplayName,
                                 G::kDisplayName, G::kDisplayName, G::kDisplayName};
  for (int i = 0; i < kReaderCount; ++i) {
    const ReaderProduct& r = Catalogue()[i];
    EXPECT_EQ(kinds[i], r.secondIdGroup) << "position " << i + 1;
    for (int s = 0; s < r.slotCount; ++s)
      EXPECT_EQ(kinds[i] == G::kNone, r.slots[s].primaryIds[1].empty()) << i + 1 << "/" << s;
  }
}

TEST(ReaderCatalogue, NtIdsHaveTheirForms) {
  const std::regex usb(R"(USBSTOR\\Disk&Ven_Norvell&Prod_NVR\d{3}[A-Z]_[A-Z]+)");
  const std::regex usbRev(R"(USBSTOR\\Disk&Ven_Norvell&Prod_NVR\d{3}[A-Z]_[A-Z]+&Rev_\d\.\d\d)");
  for (const ReaderProduct& r : Catalogue()) {
    if (r.position == 8) continue;
    const bool withRevision = r.position == 13 || r.position >= 17;
    for (int s = 0; s < r.slotCount; ++s) {
      const ReaderSlot& slot = r.slots[s];
      EXPECT_TRUE(std::regex_match(slot.primaryIds[0], withRevision ? usbRev : usb))
          << slot.primaryIds[0];
      EXPECT_TRUE(MbcsContains(slot.primaryIds[0], r.registryKey));
      char digits[16];
      std::snprintf(digits, sizeof digits, "%04d", s);
      switch (r.secondIdGroup) {
        case SecondIdGroup::kTwoPart:
          EXPECT_EQ(std::string("NVLSTOR\\DISK**") + digits, slot.primaryIds[1]);
          break;
        case SecondIdGroup::kDriverSpecific:
          EXPECT_EQ("NVDUSBSB\\NVD" + std::to_string(s), slot.primaryIds[1]);
          break;
        case SecondIdGroup::kDisplayName:
          EXPECT_EQ(0u, slot.primaryIds[1].find("Norvell ")) << slot.primaryIds[1];
          EXPECT_TRUE(MbcsContains(slot.primaryIds[1], r.registryKey));
          break;
        case SecondIdGroup::kNone:
          break;
      }
    }
  }
}

TEST(ReaderCatalogue, NinexIdsHaveTheirFormsAndOnlyFourReadersHaveAMeVariant) {
  // Vendor field 8 characters, product field 16, blanks as '_', upper case.
  const std::string field = R"(NORVELL_NVR\d{3}[A-Z]_[A-Z_]{8})";
  const std::regex scsi("SCSI\\\\" + field);
  const std::regex esdi("ESDI\\\\" + field);
  const std::regex scsiUsb("SCSI\\\\" + field + R"(\\USBSTOR&DISK&0000USB&VID_3A7E&PID_[0-9A-F]{4})");
  const std::regex esdiUsb("ESDI\\\\" + field + R"(\\NVUSBSBI&DISK&0000USB&VID_3A7E&PID_[0-9A-F]{4})");
  const std::regex me("SCSI\\\\" + field +
                      R"(\\USBSTOR&DISK&VEN_NORVELL&PROD_NVR\d{3}[A-Z]_[A-Z]+&REV_\d\.\d\d)");
  for (const ReaderProduct& r : Catalogue()) {
    if (r.position == 8) continue;
    const bool hasMe = r.position == 13 || r.position >= 17;
    EXPECT_EQ(r.position == 5, r.secondaryHasTwoGroups);
    for (int s = 0; s < r.slotCount; ++s) {
      const ReaderSlot& slot = r.slots[s];
      EXPECT_EQ(hasMe, !slot.secondaryIdMe.empty()) << r.position;
      if (r.position == 13 || r.position == 18) {
        EXPECT_TRUE(std::regex_match(slot.secondaryIds[0], scsiUsb)) << slot.secondaryIds[0];
      } else if (r.position == 17 || r.position == 19) {
        EXPECT_TRUE(std::regex_match(slot.secondaryIds[0], esdiUsb)) << slot.secondaryIds[0];
      } else if (r.position == 5) {
        EXPECT_TRUE(std::regex_match(slot.secondaryIds[0], esdi)) << slot.secondaryIds[0];
        EXPECT_EQ("SCSI" + slot.secondaryIds[0].substr(4), slot.secondaryIds[1]);
      } else {
        EXPECT_TRUE(std::regex_match(slot.secondaryIds[0], scsi)) << slot.secondaryIds[0];
      }
      if (hasMe) {
        EXPECT_TRUE(std::regex_match(slot.secondaryIdMe, me)) << slot.secondaryIdMe;
        // The Me id names the same disk: vendor and product fields, revision of the NT id.
        const std::string revision = slot.primaryIds[0].substr(slot.primaryIds[0].size() - 4);
        EXPECT_EQ(slot.secondaryIds[0].substr(5, 24), slot.secondaryIdMe.substr(5, 24));
        EXPECT_EQ(revision, slot.secondaryIdMe.substr(slot.secondaryIdMe.size() - 4));
      }
      if (r.position != 5) {
        EXPECT_TRUE(slot.secondaryIds[1].empty());
      }
    }
  }
}

TEST(ReaderCatalogue, TheGenericReaderUsesTheIdsItsChipReports) {
  const ReaderProduct& r = Catalogue()[7];
  ASSERT_EQ(1, r.slotCount);
  EXPECT_EQ("USBSTOR\\Disk&Ven_Generic&Prod_STORAGE_DEVICE", r.slots[0].primaryIds[0]);
  EXPECT_EQ("SCSI\\GENERIC_STORAGE_DEVICE__1", r.slots[0].secondaryIds[0]);
  EXPECT_EQ("STORAGE", r.primaryFilter);
  EXPECT_EQ("STORAGE", r.secondaryFilter);
  EXPECT_EQ(ReaderLookupMode::kFiltered, r.lookupMode);
}

TEST(ReaderCatalogue, OnlyPositionsFiveAndSixAreLookedUpWithoutFilter) {
  for (const ReaderProduct& r : Catalogue())
    EXPECT_EQ(r.position == 5 || r.position == 6, r.lookupMode == ReaderLookupMode::kPlain)
        << r.position;
}

TEST(ReaderCatalogue, NoReaderMatchesAnotherReadersFilterOrSlotIds) {
  std::set<std::string> names, keys;
  std::vector<std::string> usbIds, ninexIds;
  for (const ReaderProduct& r : Catalogue()) {
    EXPECT_TRUE(names.insert(r.modelName).second) << r.modelName;
    EXPECT_TRUE(keys.insert(r.registryKey).second) << r.registryKey;
    EXPECT_FALSE(r.primaryFilter.empty());
    EXPECT_EQ(r.primaryFilter, r.secondaryFilter);
    for (const ReaderProduct& other : Catalogue()) {
      if (other.position == r.position) continue;
      // A filter found in another reader's product text would let that reader pass.
      EXPECT_FALSE(MbcsContains(other.primaryFilter, r.primaryFilter))
          << r.position << " vs " << other.position;
      EXPECT_NE(r.modelName, other.modelName);
    }
    for (int s = 0; s < r.slotCount; ++s) {
      usbIds.push_back(r.slots[s].primaryIds[0]);
      ninexIds.push_back(r.slots[s].secondaryIds[0]);
    }
  }
  // A slot id contained in another slot's id would find that slot's disk as well.
  for (size_t i = 0; i < usbIds.size(); ++i)
    for (size_t j = 0; j < usbIds.size(); ++j) {
      if (i == j || usbIds[i] == usbIds[j]) continue;
      EXPECT_FALSE(MbcsContains(usbIds[j], usbIds[i])) << usbIds[i] << " in " << usbIds[j];
      EXPECT_FALSE(MbcsContains(ninexIds[j], ninexIds[i])) << ninexIds[i] << " in " << ninexIds[j];
    }
}

TEST(ReaderCatalogue, SlotFunctionLabelsCanNameAShortcutFile) {
  for (const ReaderProduct& r : Catalogue()) {
    EXPECT_FALSE(r.registryKey.empty());
    EXPECT_EQ(std::string::npos, r.registryKey.find('\\'));
    for (int s = 0; s < r.slotCount; ++s) {
      const ReaderSlot& slot = r.slots[s];
      EXPECT_FALSE(slot.driveFunc.empty());
      EXPECT_FALSE(slot.iconFile.empty());
      ASSERT_FALSE(slot.driveFuncs.empty());
      // The label becomes part of a SendTo file name: no character Windows refuses there
      // (checked per character, so a cp932 trail byte such as 0x5C is not mistaken).
      for (size_t i = 0; i < slot.driveFuncs.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(slot.driveFuncs[i]);
        if (IsCp932LeadByte(c)) {
          ++i;
          continue;
        }
        EXPECT_EQ(nullptr, std::strchr("\\/:*?\"<>|", c)) << slot.driveFuncs;
      }
    }
  }
}

TEST(ReaderCatalogue, NinexFieldsArePaddedAndUpperCased) {
  EXPECT_EQ("SCSI\\NORVELL_NVR410U_CF______", NinexHardwareId("scsi", "Norvell", "NVR410U cf"));
  EXPECT_EQ("USBSTOR\\Disk&Ven_Norvell&Prod_NVR410U_CF&Rev_1.00",
            UsbStorageId("Norvell", "NVR410U CF", "1.00"));
  EXPECT_EQ("USBSTOR\\Disk&Ven_Norvell&Prod_NVR410U_CF", UsbStorageId("Norvell", "NVR410U CF", ""));
}

}  // namespace
