// Where a command's result goes: a file named by the user, or standard output. Written
// byte for byte (no newline translation), so Windows and Linux runs give the same bytes.
#pragma once
#include <string>

#include "tools/slotdrive/command_line.h"

namespace slotdrive {

// path empty: standard output. False with a reason when the text cannot be written.
bool WriteOutput(const std::string& text, const std::string& path, std::string& error);

// The path --out names, for WriteOutput: "-" is standard output (""), unless the command's
// report already goes there. False with a reason for an empty name, which would otherwise
// pass for standard output, or for "-" where standard output is taken.
enum class StandardOutput { kFree, kTaken };
bool OutPath(const CommandLine& commandLine, std::string& path, std::string& error,
             StandardOutput standardOutput = StandardOutput::kFree);

}  // namespace slotdrive
