// Conversions between the system code page (cp932) and UTF-16 / UTF-8, the same on Linux
// (iconv) and Windows (the Win32 conversion calls, strict on every system), for the twins and
// the tools. UTF-8 goes through UTF-16 by our own code.
#pragma once
#include <string>

namespace platform {

// Each returns false, leaving out unspecified, when the input is not valid in its encoding.
bool Cp932ToUtf16(const std::string& text, std::u16string& out);
bool Utf16ToCp932(const std::u16string& text, std::string& out);
bool Cp932ToUtf8(const std::string& text, std::string& out);
bool Utf8ToCp932(const std::string& text, std::string& out);

}  // namespace platform
