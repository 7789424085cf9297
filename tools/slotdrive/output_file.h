// Where a command's result goes: a file named by the user, or standard output. Written
// byte for byte (no newline translation), so Windows and Linux runs give the same bytes.
#pragma once
#include <string>

namespace slotdrive {

// path empty: standard output. False with a reason when the text cannot be written.
bool WriteOutput(const std::string& text, const std::string& path, std::string& error);

}  // namespace slotdrive
