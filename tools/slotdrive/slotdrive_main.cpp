// slotdrive: the drive discovery and the drive-letter writer of both programs, run against
// registry files (.reg) or, in the Windows build, against the running system's registry.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/slotdrive/commands.h"

namespace {

struct CommandEntry {
  const char* name;
  slotdrive::CommandFunction run;
  const char* usage;
};

const CommandEntry kCommands[] = {
#define SLOTDRIVE_COMMAND(name, function, usage) {name, &slotdrive::function, usage},
#include "tools/slotdrive/command_list.h"
#undef SLOTDRIVE_COMMAND
};

void PrintUsage(std::FILE* out) {
  std::fprintf(out, "usage:\n");
  for (const CommandEntry& command : kCommands) std::fprintf(out, "  slotdrive %s\n", command.usage);
  std::fprintf(out,
               "OS is Win95, Win98, Win98SE, WinMe, WinNT4, Win2k, WinXP, WinVista or the numbers\n"
               "platform.major.minor.build (build decimal or 0x-hex).\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return slotdrive::kExitRefused;
  }
  if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
    PrintUsage(stdout);
    return slotdrive::kExitDone;
  }
  for (const CommandEntry& command : kCommands) {
    if (std::strcmp(argv[1], command.name) == 0)
      return command.run(std::vector<std::string>(argv + 2, argv + argc));
  }
  std::fprintf(stderr, "slotdrive: unknown command '%s'\n", argv[1]);
  PrintUsage(stderr);
  return slotdrive::kExitRefused;
}
