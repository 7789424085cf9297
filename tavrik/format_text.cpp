#include "tavrik/format_text.h"

#include <cstdarg>
#include <cstdio>

std::string FormatText(const char* format, ...) {
  char buffer[kFormatBufferSize] = {};
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  // As with wsprintfA, the text ends at the first NUL, which a %c of 0 would put inside.
  return std::string(buffer);
}
