#include "common/os_tags.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
  platform::OsVersionNumbers numbers;
  const char* family;
  const char* version;
};

void ExpectTags(const Case& c) {
  SCOPED_TRACE(testing::Message() << c.numbers.platformId << "." << c.numbers.major << "."
                                  << c.numbers.minor << "." << std::hex << c.numbers.build);
  EXPECT_STREQ(c.family, ClassifyOsFamily(c.numbers));
  EXPECT_STREQ(c.version, ClassifyOsVersion(c.numbers));
}

TEST(OsTags, ReleasedSystemsGetTheirOwnTags) {
  const Case cases[] = {
      {{1, 4, 0, 0x040003B6}, "Win9x", "Win95"},   {{1, 4, 10, 0x040A07CE}, "Win9x", "Win98"},
      {{1, 4, 10, 0x040A08AE}, "Win9x", "Win98SE"}, {{1, 4, 90, 0x045A0BB8}, "Win9x", "WinMe"},
      {{2, 4, 0, 1381}, "WinNT", "WinNT4"},         {{2, 5, 0, 2195}, "WinNT", "Win2k"},
      {{2, 5, 1, 2600}, "WinNT", "WinXP"},          {{2, 6, 0, 6000}, "WinNT", "WinVista"},
  };
  for (const Case& c : cases) ExpectTags(c);
}

TEST(OsTags, NtVersionsOutsideTheTableAreOtherWithinTheNtFamily) {
  const Case cases[] = {
      {{2, 6, 1, 7601}, "WinNT", "OTHER"},  // Windows 7
      {{2, 5, 2, 3790}, "WinNT", "OTHER"},  // Server 2003 / XP x64
      {{2, 3, 51, 1057}, "WinNT", "OTHER"},
      {{2, 10, 0, 19045}, "WinNT", "OTHER"},
  };
  for (const Case& c : cases) ExpectTags(c);
}

TEST(OsTags, NtFourIsRecognisedByItsMajorVersionAlone) {
  ExpectTags({{2, 4, 10, 0}, "WinNT", "WinNT4"});
  ExpectTags({{2, 4, 90, 0}, "WinNT", "WinNT4"});
}

TEST(OsTags, NinetyEightSecondEditionStartsAtBuild2222Of4_10) {
  // The whole 32-bit field is compared: 0x040A08AE = 4.10 in the high word, 2222 in the low.
  ExpectTags({{1, 4, 10, 0x040A08AD}, "Win9x", "Win98"});
  ExpectTags({{1, 4, 10, 0x040A08AE}, "Win9x", "Win98SE"});
  ExpectTags({{1, 4, 10, 0x040A08AF}, "Win9x", "Win98SE"});
  // A build field without the version in its high word is far below the boundary.
  ExpectTags({{1, 4, 10, 2222}, "Win9x", "Win98"});
}

TEST(OsTags, NineXWithAnotherMajorVersionIsOtherWithinTheFamily) {
  ExpectTags({{1, 5, 0, 0}, "Win9x", "OTHER"});
  ExpectTags({{1, 4, 20, 0}, "Win9x", "OTHER"});
}

TEST(OsTags, UnknownPlatformOrFailedQueryIsOtherOther) {
  ExpectTags({{0, 0, 0, 0}, "OTHER", "OTHER"});  // the zeroed record of a failed call
  ExpectTags({{0, 4, 10, 0x040A08AE}, "OTHER", "OTHER"});
  ExpectTags({{3, 6, 0, 6000}, "OTHER", "OTHER"});  // Windows CE
}

TEST(OsTags, EveryTagFitsItsTenByteField) {
  const char* tags[] = {kOsWin9x,  kOsWinNT, kOsOther, kOsWin95, kOsWin98,   kOsWin98SE,
                        kOsWinMe, kOsWinNT4, kOsWin2k, kOsWinXP, kOsWinVista};
  for (const char* tag : tags) EXPECT_LT(std::string(tag).size() + 1, size_t{kOsTagSize + 1});
}

TEST(OsTags, TagNumbersClassifyBackToTheirTag) {
  const char* tags[] = {kOsWin95,  kOsWin98, kOsWin98SE, kOsWinMe,
                        kOsWinNT4, kOsWin2k, kOsWinXP,   kOsWinVista};
  for (const char* tag : tags) {
    platform::OsVersionNumbers numbers;
    ASSERT_TRUE(OsNumbersForTag(tag, numbers)) << tag;
    EXPECT_STREQ(tag, ClassifyOsVersion(numbers));
  }
  platform::OsVersionNumbers numbers;
  EXPECT_FALSE(OsNumbersForTag("win98", numbers));  // tags are case-sensitive
  EXPECT_FALSE(OsNumbersForTag("OTHER", numbers));
}

}  // namespace
