#include "tools/slotdrive/ansi_arguments.h"

#include "platform/text/codepage.h"

namespace slotdrive {

bool ArgumentToAnsi(const std::string& argument, std::string& ansi, std::string& error) {
#ifdef _WIN32
  (void)error;
  ansi = argument;
  return true;
#else
  if (platform::Utf8ToCp932(argument, ansi)) return true;
  error = "'" + argument + "' cannot be written in code page 932";
  return false;
#endif
}

bool ArgumentsToAnsi(const std::vector<std::string>& arguments, std::vector<std::string>& ansi,
                     std::string& error) {
  ansi.clear();
  for (const std::string& argument : arguments) {
    ansi.emplace_back();
    if (!ArgumentToAnsi(argument, ansi.back(), error)) return false;
  }
  return true;
}

}  // namespace slotdrive
