#include "tools/slotdrive/os_option.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "common/os_tags.h"
#include "platform/text/mbcs_text.h"

namespace slotdrive {
namespace {

// One unsigned 32-bit number, the whole text; base 0 takes "0x" as hex.
bool ParseNumber(const std::string& text, int base, uint32_t& value) {
  if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long parsed = std::strtoull(text.c_str(), &end, base);
  if (errno != 0 || *end != '\0' || parsed > 0xFFFFFFFFull) return false;
  value = static_cast<uint32_t>(parsed);
  return true;
}

// The tag as the programs spell it, whatever case it was typed in ("winxp" is WinXP); other
// text unchanged.
std::string CanonicalTag(const std::string& text) {
  for (const char* tag : {kOsWin95, kOsWin98, kOsWin98SE, kOsWinMe, kOsWinNT4, kOsWin2k,
                          kOsWinXP, kOsWinVista})
    if (MbcsUpper(text) == MbcsUpper(tag)) return tag;
  return text;
}

}  // namespace

bool ParseOsOption(const std::string& text, platform::OsVersionNumbers& numbers,
                   std::string& error) {
  if (OsNumbersForTag(CanonicalTag(text).c_str(), numbers)) return true;
  const std::vector<std::string> parts = MbcsSplit(text, '.');
  uint32_t values[4] = {};
  bool ok = parts.size() == 4;
  for (size_t i = 0; ok && i < 4; ++i) {
    // Only the build number may be hex; a leading zero must not make the others octal.
    bool hex = i == 3 && parts[i].size() > 2 && parts[i][0] == '0' &&
               (parts[i][1] == 'x' || parts[i][1] == 'X');
    ok = ParseNumber(hex ? parts[i].substr(2) : parts[i], hex ? 16 : 10, values[i]);
  }
  if (!ok) {
    error = "--os '" + text +
            "': expected Win95, Win98, Win98SE, WinMe, WinNT4, Win2k, WinXP, WinVista (in "
            "any case) or platform.major.minor.build";
    return false;
  }
  numbers = {values[0], values[1], values[2], values[3]};
  return true;
}

}  // namespace slotdrive
