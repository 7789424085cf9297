// Classifying the running system into the family and version tags that every OS-dependent
// choice of both programs compares against.
#pragma once
#include "platform/system.h"

// Family tags.
inline constexpr const char kOsWin9x[] = "Win9x";
inline constexpr const char kOsWinNT[] = "WinNT";
inline constexpr const char kOsOther[] = "OTHER";
// Version tags ("OTHER" as above).
inline constexpr const char kOsWin95[] = "Win95";
inline constexpr const char kOsWin98[] = "Win98";
inline constexpr const char kOsWin98SE[] = "Win98SE";
inline constexpr const char kOsWinMe[] = "WinMe";
inline constexpr const char kOsWinNT4[] = "WinNT4";
inline constexpr const char kOsWin2k[] = "Win2k";
inline constexpr const char kOsWinXP[] = "WinXP";
inline constexpr const char kOsWinVista[] = "WinVista";

// Both tags fit a 10-byte field with their terminator ("WinVista" is the longest).
constexpr int kOsTagSize = 10;

// The pure classification of the four version numbers.
const char* ClassifyOsFamily(const platform::OsVersionNumbers& numbers);
const char* ClassifyOsVersion(const platform::OsVersionNumbers& numbers);

// The numbers a version tag stands for, as the command-line tools accept them
// ("Win98SE" -> 1.4.10.0x040A08AE); false for an unknown tag.
bool OsNumbersForTag(const char* tag, platform::OsVersionNumbers& numbers);
