// The entry points of the subcommands and what they share. Each takes the arguments after
// its name and returns the exit code: 0 done, 1 done with nothing to show for it (what that
// means is in each command's help), 2 refused (bad option or unreadable input, with a
// message on standard error and nothing written).
#pragma once
#include <string>
#include <vector>

namespace slotdrive {

using CommandFunction = int (*)(const std::vector<std::string>& args);

#define SLOTDRIVE_COMMAND(name, function, summary) int function(const std::vector<std::string>& args);
#include "tools/slotdrive/command_list.h"
#undef SLOTDRIVE_COMMAND

constexpr int kExitDone = 0;
// Done, with a negative answer: assign wrote nothing, export found no key, diff found
// differences, eject failed.
constexpr int kExitNegative = 1;
constexpr int kExitRefused = 2;

// Prints "slotdrive COMMAND: message" on standard error; message is in the encoding of the
// command line (console_text.h).
void Tell(const char* command, const std::string& message);

// Prints "slotdrive COMMAND: message" on standard error; returns kExitRefused.
int Refuse(const char* command, const std::string& message);

}  // namespace slotdrive
