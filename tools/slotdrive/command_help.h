// What slotdrive --help and COMMAND --help print: what a command does, its options and what
// they mean, an example and its exit codes.
#pragma once
#include <string>
#include <vector>

namespace slotdrive {

// The help of one command; null for an unknown name.
const char* CommandHelp(const std::string& command);

// Whether the arguments ask for help: "--help" or "-h" anywhere before a "--".
bool AsksForHelp(const std::vector<std::string>& args);

}  // namespace slotdrive
