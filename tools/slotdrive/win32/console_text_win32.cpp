// The Windows side of console_text.h: the programs' text is in the ANSI code page, the
// console may show another (an OEM code page on Western systems).
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/win32/optional_function.h"
#include "tools/slotdrive/console_text.h"

namespace slotdrive {
namespace {

using GetConsoleOutputCPFunction = UINT(WINAPI*)();

// The console's output code page, or 0 when there is none to ask. Looked up by name, so that
// the tool starts on every system it serves even where kernel32 does not offer the call.
UINT ConsoleCodePage() {
  const auto getCodePage = platform::OptionalFunction<GetConsoleOutputCPFunction>(
      "KERNEL32.DLL", "GetConsoleOutputCP");
  return getCodePage != nullptr ? getCodePage() : 0;
}

std::string Recoded(const std::string& text, UINT codePage) {
  const int wideChars =
      MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (wideChars <= 0) return text;
  std::wstring wide(static_cast<size_t>(wideChars), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], wideChars);
  const int bytes = WideCharToMultiByte(codePage, 0, wide.data(), wideChars, nullptr, 0, nullptr,
                                        nullptr);
  if (bytes <= 0) return text;
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), wideChars, &out[0], bytes, nullptr, nullptr);
  return out;
}

}  // namespace

void PrepareConsole() {}

std::string NativeText(const std::string& ansiText) { return ansiText; }

void PrintText(std::FILE* stream, const std::string& text) {
  // Standard output is written byte for byte, as WriteOutput does, so that Windows and Linux
  // runs give the same bytes.
  if (stream == stdout) _setmode(_fileno(stdout), _O_BINARY);
  const UINT codePage = ConsoleCodePage();
  const std::string shown = codePage == 0 || codePage == GetACP() ? text : Recoded(text, codePage);
  std::fwrite(shown.data(), 1, shown.size(), stream);
  std::fflush(stream);
}

}  // namespace slotdrive
