#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/console_text.h"

namespace slotdrive {

void Tell(const char* command, const std::string& message) {
  PrintText(stderr, std::string("slotdrive ") + command + ": " + message + "\n");
}

int Refuse(const char* command, const std::string& message) {
  Tell(command, message);
  return kExitRefused;
}

}  // namespace slotdrive
