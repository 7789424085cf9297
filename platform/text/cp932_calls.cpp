#include "platform/text/cp932_calls.h"

#include "platform/win32_codes.h"

namespace platform {
namespace {

// NT 4 answers a flag it does not know with ERROR_INVALID_FLAGS; NT 3.x was seen to answer
// ERROR_INVALID_PARAMETER. A call that fails for another reason fails again without flags.
bool FlagsRefused(uint32_t error) {
  return error == static_cast<uint32_t>(kErrorInvalidFlags) ||
         error == static_cast<uint32_t>(kErrorInvalidParameter);
}

}  // namespace

bool StrictCp932ToUtf16(ICp932Calls& calls, const std::string& text, std::u16string& out) {
  uint32_t error = 0;
  if (calls.ToWide(text, true, out, error)) return true;
  if (!FlagsRefused(error) || !calls.ToWide(text, false, out, error)) return false;
  // Without the flag, bytes that are no character are dropped or replaced without a word.
  std::string back;
  bool usedDefault = false;
  return calls.FromWide(out, false, back, usedDefault, error) && !usedDefault && back == text;
}

bool StrictUtf16ToCp932(ICp932Calls& calls, const std::u16string& text, std::string& out) {
  uint32_t error = 0;
  bool usedDefault = false;
  if (calls.FromWide(text, true, out, usedDefault, error)) return !usedDefault;
  if (!FlagsRefused(error) || !calls.FromWide(text, false, out, usedDefault, error) || usedDefault)
    return false;
  // Without the flag, a character cp932 lacks may become a look-alike ("e" for U+00E9) that
  // the default-character report never mentions.
  std::u16string back;
  return calls.ToWide(out, false, back, error) && back == text;
}

}  // namespace platform
