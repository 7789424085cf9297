// The system seam's UTF-16 to ANSI conversion held to Windows: natively on the scripted twin
// and, as a Windows program in code page 932, through WideCharToMultiByte with the programs'
// flags 0 (Wine's under Wine). A character the code page lacks must not fail the conversion.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/twin/twin_system.h"

#ifdef _WIN32
#include "platform/win32/win32_system.h"
#endif

namespace {

std::unique_ptr<platform::ISystem> SystemUnderTest() {
#ifdef _WIN32
  return std::make_unique<platform::Win32System>();
#else
  return std::make_unique<platform::ScriptedSystem>();
#endif
}

TEST(SystemTextConformance, CharactersTheCodePageLacksBecomeLookAlikesOrQuestionMarks) {
  auto system = SystemUnderTest();
  // U+00E9 has the look-alike "e", U+00AB the double-byte "<<"; U+4E02 and a surrogate pair
  // have none.
  const uint16_t lacking[] = {0x00E9, 0x00AB, 0x4E02, 0xD83D, 0xDE00, 'Z', 0};
  char out[16] = {};
  ASSERT_EQ(8, system->WideToAnsi(lacking, out, sizeof out));
  EXPECT_STREQ("e\x81\xE1???Z", out);
  EXPECT_EQ(0, system->WideToAnsi(lacking, out, 7));  // no room for the terminator
}

#ifdef _WIN32
TEST(SystemTextConformance, TheTwinConvertsEveryUnitAsTheWin32Call) {
  platform::Win32System real;
  platform::ScriptedSystem twin;
  int differing = 0;
  for (uint32_t unit = 1; unit <= 0xFFFF; ++unit) {
    const uint16_t text[] = {static_cast<uint16_t>(unit), 'x', 0};
    char expected[8] = {};
    char actual[8] = {};
    const int expectedBytes = real.WideToAnsi(text, expected, sizeof expected);
    const int actualBytes = twin.WideToAnsi(text, actual, sizeof actual);
    if (expectedBytes == actualBytes && std::string(expected) == actual) continue;
    if (++differing <= 10)
      ADD_FAILURE() << "U+" << std::hex << unit << ": Win32 " << expected << ", twin " << actual;
  }
  EXPECT_EQ(0, differing);
}
#endif

}  // namespace
