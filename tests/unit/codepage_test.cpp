// Text conversions as old systems allow them: UTF-8 by our own code, and the cp932 calls on a
// system that refuses their strict flags.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/codepage.h"
#include "platform/text/codepage_best_fit.h"
#include "platform/text/cp932_calls.h"
#include "platform/text/mbcs_text.h"
#include "platform/text/utf8.h"

namespace {

using platform::ICp932Calls;

// "メモリ" and a character beyond the BMP (U+1F600) in both encodings.
const std::string kMemoryUtf8 = "\xE3\x83\xA1\xE3\x83\xA2\xE3\x83\xAA\xF0\x9F\x98\x80";
const std::u16string kMemoryUtf16 = u"\u30E1\u30E2\u30EA\U0001F600";

TEST(Utf8, ConvertsBothWaysIncludingSurrogatePairs) {
  std::u16string wide;
  ASSERT_TRUE(platform::Utf8ToUtf16(kMemoryUtf8, wide));
  EXPECT_EQ(kMemoryUtf16, wide);
  std::string back;
  ASSERT_TRUE(platform::Utf16ToUtf8(wide, back));
  EXPECT_EQ(kMemoryUtf8, back);
  ASSERT_TRUE(platform::Utf8ToUtf16("A\xC2\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF", wide));
  EXPECT_EQ(u"A\u0080\uFFFF\U0010FFFF", wide);  // the largest of each length
}

TEST(Utf8, RefusesEverySequenceThatIsNotUtf8) {
  const std::vector<std::string> invalid = {
      "\x80",              // a continuation byte without a lead
      "\xE3\x83",          // cut off
      "\xE3\x41\xA1",      // a lead without its continuation
      "\xC0\xAF",          // an overlong '/'
      "\xE0\x80\xAF",      // the same in three bytes
      "\xF0\x80\x80\xAF",  // and in four
      "\xED\xA0\x80",      // an encoded surrogate (U+D800)
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\xFF",
  };
  for (const std::string& text : invalid) {
    SCOPED_TRACE(text);
    std::u16string wide;
    EXPECT_FALSE(platform::Utf8ToUtf16("ok" + text, wide));
  }
}

// Windows 95, 98 or NT 4 as far as the two conversion calls go: the strict flags answer
// ERROR_INVALID_FLAGS; without them, bytes that are no character are dropped, a character
// cp932 lacks becomes its look-alike, and the default-character report stays silent.
class FlagRefusingCalls : public ICp932Calls {
 public:
  int strictCalls = 0;
  int looseCalls = 0;

  bool ToWide(const std::string& text, bool strict, std::u16string& out,
              uint32_t& error) override {
    if (strict) return Refuse(error);
    ++looseCalls;
    out.clear();
    for (size_t i = 0; i < text.size();) {
      const size_t length = IsCp932LeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
      std::u16string piece;
      if (platform::Cp932ToUtf16(text.substr(i, length), piece)) out += piece;
      i += length;
    }
    return true;
  }
  bool FromWide(const std::u16string& text, bool strict, std::string& out, bool& usedDefault,
                uint32_t& error) override {
    if (strict) return Refuse(error);
    ++looseCalls;
    out = platform::Utf16ToCp932BestFit(text);
    usedDefault = false;
    return true;
  }

 private:
  bool Refuse(uint32_t& error) {
    ++strictCalls;
    error = 1004;  // ERROR_INVALID_FLAGS
    return false;
  }
};

TEST(Cp932Calls, WhereTheFlagsAreRefusedValidTextStillConvertsBothWays) {
  FlagRefusingCalls calls;
  const std::string ansi = "\x83\x81\x83\x82\x83\x8A SD";  // "メモリ SD"
  std::u16string wide;
  ASSERT_TRUE(platform::StrictCp932ToUtf16(calls, ansi, wide));
  EXPECT_EQ(u"\u30E1\u30E2\u30EA SD", wide);
  std::string back;
  ASSERT_TRUE(platform::StrictUtf16ToCp932(calls, wide, back));
  EXPECT_EQ(ansi, back);
  EXPECT_EQ(2, calls.strictCalls);  // each tried with its flag first
}

TEST(Cp932Calls, WhereTheFlagsAreRefusedTheRoundTripCatchesWhatTheyWouldHave) {
  FlagRefusingCalls calls;
  std::u16string wide;
  // A lead byte followed by a byte that cannot trail it: dropped without the flag.
  EXPECT_FALSE(platform::StrictCp932ToUtf16(calls, "A\x81\x20" "B", wide));
  std::string ansi;
  // U+00E9 has no cp932 character; without the flag it would come out as "e".
  EXPECT_FALSE(platform::StrictUtf16ToCp932(calls, u"caf\u00E9", ansi));
}

TEST(Cp932Calls, ACallThatFailsForAnotherReasonIsNotRetried) {
  class FailingCalls : public FlagRefusingCalls {
    bool ToWide(const std::string& text, bool strict, std::u16string& out,
                uint32_t& error) override {
      if (!strict) return FlagRefusingCalls::ToWide(text, strict, out, error);
      error = 1113;  // ERROR_NO_UNICODE_TRANSLATION: the text is not cp932
      return false;
    }
  } calls;
  std::u16string wide;
  EXPECT_FALSE(platform::StrictCp932ToUtf16(calls, "\x81", wide));
  EXPECT_EQ(0, calls.looseCalls);
}

}  // namespace
