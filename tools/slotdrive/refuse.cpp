#include <cstdio>

#include "tools/slotdrive/commands.h"

namespace slotdrive {

int Refuse(const char* command, const std::string& message) {
  std::fprintf(stderr, "slotdrive %s: %s\n", command, message.c_str());
  return kExitRefused;
}

}  // namespace slotdrive
