// UTF-8 to and from UTF-16 by our own code: Windows 95 has no CP_UTF8, and Windows before
// 2000 SP4 refuses the flags that make its UTF-8 conversions strict.
#pragma once
#include <string>

namespace platform {

// Each returns false, leaving out unspecified, for input that is not valid in its encoding:
// an unpaired surrogate; in UTF-8 also a stray or missing continuation byte, an overlong
// form, an encoded surrogate and anything above U+10FFFF.
bool Utf16ToUtf8(const std::u16string& in, std::string& out);
bool Utf8ToUtf16(const std::string& in, std::u16string& out);

}  // namespace platform
