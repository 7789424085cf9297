#include "platform/text/mbcs_text.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// "ａ" (U+FF41) is 0x82 0x81 in cp932 and "ソ" is 0x83 0x5C: trail bytes that look like
// ASCII must be left alone ("ソ" ends in a backslash byte, "\x83\x61" holds an 'a').
const std::string kKatakanaSo = "\x83\x5C";
const std::string kLeadWithLowerA = "\x83\x61";  // "ヂ"

TEST(MbcsUpper, FoldsAsciiLettersOnly) {
  EXPECT_EQ("USBSTOR\\DISK&VEN_ABC", MbcsUpper("usbstor\\Disk&Ven_abc"));
  EXPECT_EQ("123_-#{}", MbcsUpper("123_-#{}"));
}

TEST(MbcsUpper, LeavesTrailBytesThatLookLikeLettersAlone) {
  EXPECT_EQ("X" + kLeadWithLowerA + "A", MbcsUpper("x" + kLeadWithLowerA + "a"));
}

TEST(MbcsUpper, AHalfCharacterAtTheEndIsKept) {
  EXPECT_EQ("AB\x83", MbcsUpper("ab\x83"));
}

TEST(MbcsContains, EmptyNeedleIsAlwaysContained) {
  EXPECT_TRUE(MbcsContains("", ""));
  EXPECT_TRUE(MbcsContains("abc", ""));
}

TEST(MbcsContains, IsCaseSensitive) {
  EXPECT_TRUE(MbcsContains("Reader SD", "SD"));
  EXPECT_FALSE(MbcsContains("Reader SD", "sd"));
}

TEST(MbcsContains, NeverMatchesAtATrailByte) {
  // The backslash inside "ソ" is not a path separator.
  EXPECT_FALSE(MbcsContains("A" + kKatakanaSo, "\\"));
  EXPECT_TRUE(MbcsContains("A" + kKatakanaSo + "\\", "\\"));
  EXPECT_FALSE(MbcsContains(kLeadWithLowerA, "a"));
  EXPECT_TRUE(MbcsContains("x" + kKatakanaSo, kKatakanaSo));
}

TEST(MbcsFind, FindsTheFirstOccurrenceFromAPosition) {
  EXPECT_EQ(0u, MbcsFind("**ab**", "**"));
  EXPECT_EQ(4u, MbcsFind("**ab**", "**", 1));
  EXPECT_EQ(std::string::npos, MbcsFind("abc", "abcd"));
}

TEST(MbcsFind, SkipsAMatchThatStartsOnATrailByteForALaterOne) {
  // 0x83 'A' is one character: the first "AB" starts on its trail byte, the second at 3.
  EXPECT_EQ(3u, MbcsFind("\x83" "ABAB", "AB"));
  EXPECT_EQ(std::string::npos, MbcsFind("\x83" "AB", "AB"));
  EXPECT_EQ(3u, MbcsFind("\x83" "ABAB", "AB", 2));
}

TEST(MbcsFindLast, SkipsBackslashesInsideDoubleByteCharacters) {
  // A folder named "ソフト" ends its first character in 0x5C.
  const std::string path = "C:\\" + kKatakanaSo + "\\Tavrik.exe";
  EXPECT_EQ(5u, MbcsFindLast(path, '\\'));
  EXPECT_EQ(std::string::npos, MbcsFindLast(kKatakanaSo, '\\'));
  EXPECT_EQ(2u, MbcsFindLast("C:\\", '\\'));
}

TEST(MbcsSplit, ATrailBackslashIsNoSeparator) {
  const std::vector<std::string> pieces = MbcsSplit("C:\\" + kKatakanaSo + "\\x\\", '\\');
  EXPECT_EQ((std::vector<std::string>{"C:", kKatakanaSo, "x", ""}), pieces);
  EXPECT_TRUE(MbcsEndsWith("C:\\" + kKatakanaSo + "\\", '\\'));
  EXPECT_FALSE(MbcsEndsWith("C:\\" + kKatakanaSo, '\\'));
}

TEST(MbcsFileTitle, TakesTheNameAfterTheLastCharacterSeparatorWithoutItsExtension) {
  EXPECT_EQ(kKatakanaSo + "Tavrik", MbcsFileTitle("C:\\a/b\\" + kKatakanaSo + "Tavrik.exe"));
  EXPECT_EQ(kKatakanaSo, MbcsFileTitle("C:\\Programs\\" + kKatakanaSo + ".exe"));
  EXPECT_EQ(".exe", MbcsFileTitle("C:\\.exe"));
  EXPECT_EQ(kKatakanaSo + "x.exe", MbcsBaseName("C:\\" + kKatakanaSo + "x.exe"));
}

TEST(MbcsPrefix, NeverEndsBetweenALeadByteAndItsTrailByte) {
  // "A" + "ソ" + "B" is four bytes: three would end on the lead byte of "ソ".
  const std::string text = "A" + kKatakanaSo + "B";
  EXPECT_EQ("A", MbcsPrefix(text, 2));
  EXPECT_EQ("A" + kKatakanaSo, MbcsPrefix(text, 3));
  EXPECT_EQ(text, MbcsPrefix(text, 4));
  EXPECT_EQ(text, MbcsPrefix(text, 63));
  EXPECT_EQ("", MbcsPrefix(kKatakanaSo, 1));
  EXPECT_EQ("ab\x83", MbcsPrefix("ab\x83", 4));  // a half character at the end is kept
}

}  // namespace
