#include "common/os_tags.h"

#include <cstring>

namespace {
using platform::kPlatformWin9x;
using platform::kPlatformWinNt;
// Windows 98 SE reports 4.10 in the high word of the build field and build 2222 in the low.
constexpr uint32_t kFirst98SeBuild = 0x040A08AE;
}  // namespace

const char* ClassifyOsFamily(const platform::OsVersionNumbers& n) {
  if (n.platformId == kPlatformWinNt) return kOsWinNT;
  if (n.platformId == kPlatformWin9x) return kOsWin9x;
  return kOsOther;
}

const char* ClassifyOsVersion(const platform::OsVersionNumbers& n) {
  if (n.platformId == kPlatformWinNt) {
    if (n.major == 6 && n.minor == 0) return kOsWinVista;
    if (n.major == 5 && n.minor == 1) return kOsWinXP;
    if (n.major == 5 && n.minor == 0) return kOsWin2k;
    if (n.major == 4) return kOsWinNT4;
  } else if (n.platformId == kPlatformWin9x && n.major == 4) {
    if (n.minor == 90) return kOsWinMe;
    if (n.minor == 10) return n.build >= kFirst98SeBuild ? kOsWin98SE : kOsWin98;
    if (n.minor == 0) return kOsWin95;
  }
  return kOsOther;
}

bool OsNumbersForTag(const char* tag, platform::OsVersionNumbers& numbers) {
  struct Row {
    const char* tag;
    platform::OsVersionNumbers numbers;
  };
  static const Row kRows[] = {
      {kOsWin95, {1, 4, 0, 0x040003B6}},    {kOsWin98, {1, 4, 10, 0x040A07CE}},
      {kOsWin98SE, {1, 4, 10, 0x040A08AE}}, {kOsWinMe, {1, 4, 90, 0x045A0BB8}},
      {kOsWinNT4, {2, 4, 0, 1381}},         {kOsWin2k, {2, 5, 0, 2195}},
      {kOsWinXP, {2, 5, 1, 2600}},          {kOsWinVista, {2, 6, 0, 6000}},
  };
  for (const Row& row : kRows) {
    if (std::strcmp(row.tag, tag) == 0) {
      numbers = row.numbers;
      return true;
    }
  }
  return false;
}
