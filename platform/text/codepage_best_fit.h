// UTF-16 to the system code page the way the programs' own call converts it:
// WideCharToMultiByte(932, 0, ...) without WC_NO_BEST_FIT_CHARS and without a default
// character of its own.
#pragma once
#include <string>

namespace platform {

// Converts each UTF-16 unit on its own: a character of the code page gives its bytes, one the
// code page lacks its best-fit look-alike ("e" for U+00E9) or, without one, '?'. A surrogate,
// paired or not, is '?'. Never fails.
std::string Utf16ToCp932BestFit(const std::u16string& text);

}  // namespace platform
