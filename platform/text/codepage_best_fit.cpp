#include "platform/text/codepage_best_fit.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/text/codepage.h"

namespace platform {
namespace {

struct BestFit {
  uint16_t unit;
  const char* bytes;
};

// Every unit whose flags-0 conversion differs from the strict one, be it the Win32 strict
// conversion or iconv's "CP932" (which has a few look-alikes of its own and lacks U+0080 and
// the four private-use units of the single-byte 0xA0, 0xFD-0xFF). Measured under Wine 8 with
// code page 932 for every unit from U+0001 to U+FFFF; sorted by unit.
constexpr BestFit kBestFit[] = {
    {0x0080, "\x80"}, {0x00A1, "\x21"}, {0x00A2, "\x81\x91"}, {0x00A3, "\x81\x92"},
    {0x00A5, "\x5C"}, {0x00A6, "\x7C"}, {0x00A9, "\x63"}, {0x00AA, "\x61"}, {0x00AB, "\x81\xE1"},
    {0x00AC, "\x81\xCA"}, {0x00AD, "\x2D"}, {0x00AE, "\x52"}, {0x00AF, "\x81\x50"},
    {0x00B2, "\x32"}, {0x00B3, "\x33"}, {0x00B5, "\x83\xCA"}, {0x00B7, "\x81\x45"},
    {0x00B8, "\x81\x43"}, {0x00B9, "\x31"}, {0x00BA, "\x6F"}, {0x00BB, "\x81\xE2"},
    {0x00C0, "\x41"}, {0x00C1, "\x41"}, {0x00C2, "\x41"}, {0x00C3, "\x41"}, {0x00C4, "\x41"},
    {0x00C5, "\x41"}, {0x00C6, "\x41"}, {0x00C7, "\x43"}, {0x00C8, "\x45"}, {0x00C9, "\x45"},
    {0x00CA, "\x45"}, {0x00CB, "\x45"}, {0x00CC, "\x49"}, {0x00CD, "\x49"}, {0x00CE, "\x49"},
    {0x00CF, "\x49"}, {0x00D0, "\x44"}, {0x00D1, "\x4E"}, {0x00D2, "\x4F"}, {0x00D3, "\x4F"},
    {0x00D4, "\x4F"}, {0x00D5, "\x4F"}, {0x00D6, "\x4F"}, {0x00D8, "\x4F"}, {0x00D9, "\x55"},
    {0x00DA, "\x55"}, {0x00DB, "\x55"}, {0x00DC, "\x55"}, {0x00DD, "\x59"}, {0x00DE, "\x54"},
    {0x00DF, "\x73"}, {0x00E0, "\x61"}, {0x00E1, "\x61"}, {0x00E2, "\x61"}, {0x00E3, "\x61"},
    {0x00E4, "\x61"}, {0x00E5, "\x61"}, {0x00E6, "\x61"}, {0x00E7, "\x63"}, {0x00E8, "\x65"},
    {0x00E9, "\x65"}, {0x00EA, "\x65"}, {0x00EB, "\x65"}, {0x00EC, "\x69"}, {0x00ED, "\x69"},
    {0x00EE, "\x69"}, {0x00EF, "\x69"}, {0x00F0, "\x64"}, {0x00F1, "\x6E"}, {0x00F2, "\x6F"},
    {0x00F3, "\x6F"}, {0x00F4, "\x6F"}, {0x00F5, "\x6F"}, {0x00F6, "\x6F"}, {0x00F8, "\x6F"},
    {0x00F9, "\x75"}, {0x00FA, "\x75"}, {0x00FB, "\x75"}, {0x00FC, "\x75"}, {0x00FD, "\x79"},
    {0x00FE, "\x74"}, {0x00FF, "\x79"}, {0x2014, "\x3F"}, {0x2016, "\x3F"}, {0x203E, "\x3F"},
    {0x2212, "\x3F"}, {0x301C, "\x3F"}, {0x3094, "\x83\x94"}, {0xF8F0, "\xA0"}, {0xF8F1, "\xFD"},
    {0xF8F2, "\xFE"}, {0xF8F3, "\xFF"},
};

bool ByUnit(const BestFit& entry, uint16_t unit) { return entry.unit < unit; }

}  // namespace

std::string Utf16ToCp932BestFit(const std::u16string& text) {
  std::string out;
  std::string one;
  for (char16_t c : text) {
    const uint16_t unit = static_cast<uint16_t>(c);
    if (unit < 0x80) {
      out.push_back(static_cast<char>(unit));
      continue;
    }
    const BestFit* found = std::lower_bound(std::begin(kBestFit), std::end(kBestFit), unit, ByUnit);
    if (found != std::end(kBestFit) && found->unit == unit) {
      out += found->bytes;
    } else if ((unit < 0xD800 || unit > 0xDFFF) && Utf16ToCp932(std::u16string(1, c), one)) {
      out += one;
    } else {
      out.push_back('?');
    }
  }
  return out;
}

}  // namespace platform
