// The system's two conversion calls for code page 932, as a seam. Windows 95, 98 and NT 4 may
// refuse the flags that make them strict (MB_ERR_INVALID_CHARS, WC_NO_BEST_FIT_CHARS); the
// conversion then goes without them and checks its result by converting it back.
#pragma once
#include <cstdint>
#include <string>

namespace platform {

class ICp932Calls {
 public:
  virtual ~ICp932Calls() = default;

  // MultiByteToWideChar(932, strict ? MB_ERR_INVALID_CHARS : 0, ...) over all of text; false
  // with the call's GetLastError in error when it fails.
  virtual bool ToWide(const std::string& text, bool strict, std::u16string& out,
                      uint32_t& error) = 0;
  // WideCharToMultiByte(932, strict ? WC_NO_BEST_FIT_CHARS : 0, ...) over all of text, without
  // a default character of our own; usedDefault as the call reports it.
  virtual bool FromWide(const std::u16string& text, bool strict, std::string& out,
                        bool& usedDefault, uint32_t& error) = 0;
};

// The conversions with nothing dropped, guessed or replaced: false for bytes that are not
// cp932 or characters cp932 lacks. Where the system refuses the strict flags, a text whose
// conversion does not convert back to it is refused instead (so are the few characters that
// cp932 holds twice, such as the NEC and IBM copies of the same kanji).
bool StrictCp932ToUtf16(ICp932Calls& calls, const std::string& text, std::u16string& out);
bool StrictUtf16ToCp932(ICp932Calls& calls, const std::u16string& text, std::string& out);

}  // namespace platform
