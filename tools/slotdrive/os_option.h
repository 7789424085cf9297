// The --os option: a version tag (Win98SE, WinXP, ...) or the four numbers
// "platform.major.minor.build" that GetVersionExA reports (build decimal or 0x-hex).
#pragma once
#include <string>

#include "platform/system.h"

namespace slotdrive {

bool ParseOsOption(const std::string& text, platform::OsVersionNumbers& numbers,
                   std::string& error);

}  // namespace slotdrive
