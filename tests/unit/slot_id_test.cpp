#include "common/slot_id.h"

#include <gtest/gtest.h>

namespace {

void ExpectSplit(const std::string& id, const std::string& head, const std::string& tail) {
  SlotIdParts parts = SplitSlotId(id);
  EXPECT_EQ(head, parts.head) << id;
  EXPECT_EQ(tail, parts.tail) << id;
}

TEST(SlotIdSplit, WithoutSeparatorHeadAndTailAreTheWholeId) {
  ExpectSplit("USBSTOR\\Disk&Ven_Norvell&Prod_CF_Slot", "USBSTOR\\Disk&Ven_Norvell&Prod_CF_Slot",
              "USBSTOR\\Disk&Ven_Norvell&Prod_CF_Slot");
  ExpectSplit("", "", "");
}

TEST(SlotIdSplit, TheFirstStarSplitsAndOneMoreCharacterIsSkipped) {
  ExpectSplit("NVSTOR\\DISK**0001", "NVSTOR\\DISK", "0001");
  ExpectSplit("A*B", "A", "");        // the character after the star is taken for the second
  ExpectSplit("A*xB", "A", "B");
  ExpectSplit("A**B**C", "A", "B**C");
}

TEST(SlotIdSplit, AnIdEndingInTheSeparatorHasAnEmptyTail) {
  ExpectSplit("USBSTOR\\Disk&Ven_Norvell**", "USBSTOR\\Disk&Ven_Norvell", "");
  ExpectSplit("X*", "X", "");  // a single trailing star: nothing is read past the id
}

}  // namespace
