// The scripted drives of a command line: "C=fixed,D=cdrom,F=removable" gives each letter
// named its drive type, and a list of letters names the drives with a medium.
#pragma once
#include <string>
#include <vector>

#include "platform/twin/twin_system.h"

namespace slotdrive {

// A drive letter given on the command line: one of A-Z in either case, as upper case. False
// with a reason naming what (as "--letter") otherwise.
bool ParseDriveLetter(const std::string& text, const char* what, char& letter,
                      std::string& error);

// --drives: every letter named gets its type (unknown, none, removable, fixed, remote, cdrom,
// ramdisk or a number), the others stay without a drive. False with a reason for a part that
// is not LETTER=TYPE or a letter given twice.
bool ParseDrives(const std::string& list, platform::ScriptedSystem& system, std::string& error);

// --media: the letters whose medium answers the free-space probe ("FI" or "F,I"). Every letter
// must be a drive that ParseDrives made; false with a reason otherwise.
bool ParseMedia(const std::string& letters, platform::ScriptedSystem& system, std::string& error);

}  // namespace slotdrive
