// The .reg loader and writer work through any registry: here they write a fixture into the
// registry under test (Wine's real one in the Windows build, HKEY_DYN_DATA included, which
// Wine's reg.exe refuses) and read it back out.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/reg_files/reg_file.h"
#include "platform/reg_files/registry_tree.h"
#include "tests/conformance/registry_checks.h"
#include "tests/conformance/registry_under_test.h"

namespace conformance {
namespace {

using namespace platform;

// Names chosen so that Windows' and Wine's enumeration orders agree.
const char kFixture[] =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_DYN_DATA\\Config Manager\\Enum\\SlotToolsRegFile]\r\n"
    "\"HardWareKey\"=\"SCSI\\\\NORVELL_CARD_RW_SD\\\\MF&CHILD0001&PCI\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\SlotToolsConformance\\RegFile]\r\n"
    "@=\"default\"\r\n"
    "\"Binary\"=hex:5c,00,3f,00,3f,00,5c,00\r\n"
    "\"Count\"=dword:00000002\r\n"
    "\"Multi\"=hex(7):61,00,62,00,00\r\n"
    "\"Quoted\"=\"say \\\"hi\\\" C:\\\\x\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\SlotToolsConformance\\RegFile\\Sub]\r\n"
    "\"Letter\"=\"E\"\r\n"
    "\r\n";

class RegFileConformance : public testing::TestWithParam<std::string> {
 protected:
  void SetUp() override { m_target = std::make_unique<RegistryUnderTest>(GetParam()); }
  void TearDown() override {
    DeleteRegistryTree(Reg(), kHkeyDynData, "Config Manager\\Enum\\SlotToolsRegFile");
    DeleteRegistryTree(Reg(), kHkeyCurrentUser, "Software\\SlotToolsConformance\\RegFile");
  }
  IRegistry& Reg() { return m_target->Registry(); }

  std::unique_ptr<RegistryUnderTest> m_target;
};

TEST_P(RegFileConformance, FixtureWrittenThroughTheSeamExportsBackUnchanged) {
  std::string error;
  ASSERT_TRUE(ImportRegText(Reg(), kFixture, "fixture.reg", error)) << error;

  RegKey device = 0;
  ASSERT_EQ(kErrorSuccess, Reg().OpenKey(kHkeyDynData, "Config Manager\\Enum\\SlotToolsRegFile",
                                         kKeyRead, &device));
  ExpectValue(HERE, Reg(), device, "HardWareKey", kRegSz,
              std::string("SCSI\\NORVELL_CARD_RW_SD\\MF&CHILD0001&PCI", 41));
  Reg().CloseKey(device);

  std::string text;
  ASSERT_TRUE(ExportRegFile(Reg(),
                            {{kHkeyDynData, "Config Manager\\Enum\\SlotToolsRegFile"},
                             {kHkeyCurrentUser, "Software\\SlotToolsConformance\\RegFile"}},
                            text, error))
      << error;
  EXPECT_EQ(kFixture, text);
}

TEST_P(RegFileConformance, DeletionsInAFileReachTheRegistry) {
  std::string error;
  ASSERT_TRUE(ImportRegText(Reg(), kFixture, "fixture.reg", error)) << error;
  ASSERT_TRUE(ImportRegText(Reg(),
                            "REGEDIT4\r\n"
                            "[-HKEY_DYN_DATA\\Config Manager\\Enum\\SlotToolsRegFile]\r\n"
                            "[HKEY_CURRENT_USER\\Software\\SlotToolsConformance\\RegFile]\r\n"
                            "\"Count\"=-\r\n",
                            "delete.reg", error))
      << error;
  RegKey key = 0;
  EXPECT_EQ(kErrorFileNotFound, Reg().OpenKey(kHkeyDynData, "Config Manager\\Enum\\SlotToolsRegFile",
                                              kKeyRead, &key));
  ASSERT_EQ(kErrorSuccess, Reg().OpenKey(kHkeyCurrentUser, "Software\\SlotToolsConformance\\RegFile",
                                         kKeyRead, &key));
  uint32_t size = 0;
  EXPECT_EQ(kErrorFileNotFound, Reg().QueryValue(key, "Count", nullptr, nullptr, &size));
  EXPECT_EQ(kErrorSuccess, Reg().QueryValue(key, "Binary", nullptr, nullptr, &size));
  Reg().CloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(Registry, RegFileConformance, testing::ValuesIn(RegistryTargets()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace conformance
