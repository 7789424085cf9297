// Text arguments (slot ids, filters, letters) in the system code page, as the finder takes
// them: on Windows the arguments already are ANSI; elsewhere they arrive as UTF-8.
#pragma once
#include <string>
#include <vector>

namespace slotdrive {

bool ArgumentToAnsi(const std::string& argument, std::string& ansi, std::string& error);
bool ArgumentsToAnsi(const std::vector<std::string>& arguments, std::vector<std::string>& ansi,
                     std::string& error);

}  // namespace slotdrive
