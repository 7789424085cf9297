#include "common/mount_records.h"

#include <gtest/gtest.h>

#include "platform/twin/twin_system.h"

namespace {

TEST(MountRecordTexts, XpLookupTextStopsAfterTheClassBraceAndIsUpperCase) {
  EXPECT_EQ("\\??\\STORAGE#REMOVABLEMEDIA#7&2F4C18A0&0&RM#{", XpMountLookupText("7&2f4c18a0&0"));
  EXPECT_EQ("\\??\\STORAGE#RemovableMedia#7&2f4c18a0&0&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}",
            XpMountRecordText("7&2f4c18a0&0"));
}

TEST(MountRecordTexts, VistaMatchTextTurnsSlashesIntoHashesAndDropsUsbstorPrefixes) {
  EXPECT_EQ("_??_USBSTOR#DISK&VEN_NORVELL&PROD_CF_SLOT",
            VistaMountMatchText("USBSTOR\\Disk&Ven_Norvell&Prod_CF_Slot"));
  EXPECT_EQ("_??_USBSTOR#DISK&VEN_NORVELL&PROD_SD#MMC",
            VistaMountMatchText("USBSTOR\\Disk&Ven_Norvell&Prod_SD/MMC"));
  // Only the exact-case prefix is dropped, and a backslash stays a backslash.
  EXPECT_EQ("_??_USBSTOR#USBSTOR\\DISK", VistaMountMatchText("usbstor\\Disk"));
  // A double-byte character whose trail byte is '/' (0x2F is no trail byte, so use 0x5C).
  EXPECT_EQ("_??_USBSTOR#\x83\x5C#A", VistaMountMatchText("\x83\x5C/a"));
}

TEST(MountRecordNames, TheLetterFollowsThePrefixAndMustBeAnAsciiLetter) {
  char letter = 0;
  EXPECT_TRUE(DriveLetterOfValueName("\\DosDevices\\E:", letter));
  EXPECT_EQ('E', letter);
  EXPECT_TRUE(DriveLetterOfValueName("\\DosDevices\\e:", letter));
  EXPECT_EQ('e', letter);
  EXPECT_FALSE(DriveLetterOfValueName("\\DosDevices\\", letter));
  EXPECT_FALSE(DriveLetterOfValueName("\\DosDevices\\1:", letter));
  EXPECT_FALSE(DriveLetterOfValueName("\\DosDevices\\\x82\xA0:", letter));
  EXPECT_EQ("\\DosDevices\\P:", DosDevicesValueName('P'));
}

TEST(MountRecordCoding, DataIsDecodedUpToItsLengthAndRoundTrips) {
  platform::ScriptedSystem system;
  std::vector<uint8_t> data;
  ASSERT_TRUE(EncodeMountRecord(system, "_??_USBSTOR#Disk", 512, data));
  EXPECT_EQ(32u, data.size());  // two bytes per character, no terminator
  std::string text;
  ASSERT_TRUE(DecodeMountRecord(system, data.data(), static_cast<uint32_t>(data.size()), 260, text));
  EXPECT_EQ("_??_USBSTOR#Disk", text);
  // An odd length keeps its last byte as a character of its own.
  ASSERT_TRUE(DecodeMountRecord(system, data.data(), 3, 260, text));
  EXPECT_EQ("_?", text);
  EXPECT_FALSE(DecodeMountRecord(system, data.data(), 259, 260, text));  // no room for NULs
  EXPECT_FALSE(EncodeMountRecord(system, "", 512, data));
  EXPECT_FALSE(EncodeMountRecord(system, std::string(257, 'x'), 512, data));
}

}  // namespace
