// slotdrive: the drive discovery and the drive-letter writer of both programs, run against
// registry files (.reg) or, in the Windows build, against the running system's registry.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/slotdrive/command_help.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/console_text.h"

#ifdef _WIN32
#include "platform/win32/windows_names.h"
#endif

namespace {

struct CommandEntry {
  const char* name;
  slotdrive::CommandFunction run;
  const char* summary;
};

const CommandEntry kCommands[] = {
#define SLOTDRIVE_COMMAND(name, function, summary) {name, &slotdrive::function, summary},
#include "tools/slotdrive/command_list.h"
#undef SLOTDRIVE_COMMAND
};

void PrintOverview(std::FILE* out) {
  std::string text =
      "usage: slotdrive COMMAND [OPTION]... [ARGUMENT]...\n"
      "\n"
      "Runs the drive discovery, the drive-letter writer and the programs' own logic of Loscan\n"
      "and Tavrik on a machine's exported registry (regedit /e), for diagnosis away from it.\n"
      "\n"
      "commands:\n";
  for (const CommandEntry& command : kCommands) {
    std::string name = command.name;
    name.resize(13, ' ');
    text += "  " + name + command.summary + "\n";
  }
  text +=
      "\n"
      "slotdrive COMMAND --help (or -h) tells what a command does, its options and an example.\n"
      "\n"
      "exit codes:\n"
      "  0  done\n"
      "  1  done, with a negative answer: assign wrote nothing, export found no key,\n"
      "     diff found differences, eject failed\n"
      "  2  refused: an unknown command or option, a bad value, or a file that cannot be\n"
      "     read; the reason is on standard error and nothing is written\n";
  slotdrive::PrintText(out, text);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Probing an empty card slot (find and eject on the live machine) must fail quietly rather
  // than raise the system's box asking for a disk; the other bits of the mode stay as given.
  SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS);
#endif
  slotdrive::PrepareConsole();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintOverview(stderr);
    return slotdrive::kExitRefused;
  }
  const std::string& name = args[0];
  if (name == "--help" || name == "-h" || name == "help") {
    if (args.size() < 2) {
      PrintOverview(stdout);
      return slotdrive::kExitDone;
    }
    const char* help = slotdrive::CommandHelp(args[1]);
    if (help == nullptr)
      return slotdrive::Refuse("help", "unknown command '" + args[1] + "'");
    slotdrive::PrintText(stdout, help);
    return slotdrive::kExitDone;
  }
  for (const CommandEntry& command : kCommands) {
    if (name != command.name) continue;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (slotdrive::AsksForHelp(rest)) {
      slotdrive::PrintText(stdout, slotdrive::CommandHelp(name));
      return slotdrive::kExitDone;
    }
    return command.run(rest);
  }
  slotdrive::PrintText(stderr, "slotdrive: unknown command '" + name +
                                   "' (slotdrive --help lists the commands)\n");
  return slotdrive::kExitRefused;
}
