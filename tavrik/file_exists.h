// Whether a file is there, as the ejector asks before deleting or trusting one of its own.
#pragma once
#include <string>

#include "platform/files.h"

// A path that does not fit the 260-byte name buffers never names a file here.
bool FileExists(platform::IFiles& files, const std::string& path);
