// The Linux side of console_text.h; win32/console_text_win32.cpp is the Windows side.
#ifndef _WIN32
#include "tools/slotdrive/console_text.h"

#include <iconv.h>
#include <langinfo.h>

#include <clocale>
#include <cstring>

#include "tools/slotdrive/json_writer.h"

namespace slotdrive {

void PrepareConsole() { std::setlocale(LC_CTYPE, ""); }

std::string NativeText(const std::string& ansiText) { return AnsiToUtf8(ansiText); }

namespace {

// text (UTF-8) in the locale's encoding; characters the encoding lacks become look-alikes or
// "?". UTF-8 and plain ASCII locales (the "C" locale) get the UTF-8 unchanged.
std::string InLocaleEncoding(const std::string& text) {
  const char* codeset = nl_langinfo(CODESET);
  if (codeset == nullptr || std::strcmp(codeset, "UTF-8") == 0 ||
      std::strcmp(codeset, "ANSI_X3.4-1968") == 0)
    return text;
  iconv_t cd = iconv_open((std::string(codeset) + "//TRANSLIT").c_str(), "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return text;
  std::string out(text.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* outPtr = &out[0];
  size_t outLeft = out.size();
  const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1)) return text;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

void PrintText(std::FILE* stream, const std::string& text) {
  const std::string shown = InLocaleEncoding(text);
  std::fwrite(shown.data(), 1, shown.size(), stream);
  std::fflush(stream);
}

}  // namespace slotdrive
#endif
