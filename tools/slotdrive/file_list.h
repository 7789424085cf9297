// The files and folders a machine has, for the ejector run headless: icon files resolve to
// their short paths only when they exist, and the SendTo folder is named in its short form.
#pragma once
#include <string>

#include "platform/twin/twin_files.h"

namespace slotdrive {

// One path per line, optionally followed by a tab and its short form as GetShortPathNameA
// gives it (lines of "machine_driver shortpath"). A path ending in a backslash is a folder,
// any other a file; a short form gives each element whose 8.3 name differs that name. Empty
// lines are skipped. False with a reason on a line that is not an absolute path, or whose
// short form has another number of elements.
bool LoadFileList(const std::string& file, platform::MemoryFiles& files, std::string& error);

}  // namespace slotdrive
