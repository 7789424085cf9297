// Formatting a user text the way wsprintfA does it: into a fixed 1024-byte buffer, cut off
// rather than overrun when it does not fit.
#pragma once
#include <string>

#if defined(__GNUC__)
#define TAVRIK_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#else
#define TAVRIK_PRINTF_FORMAT(f, a)
#endif

// wsprintfA's output limit, terminator included.
constexpr int kFormatBufferSize = 1024;

std::string FormatText(const char* format, ...) TAVRIK_PRINTF_FORMAT(1, 2);
