// The registry a benchmark runs on: a machine's USB history (usb_history_image.h) and the
// reader definitions Tavrik ships, imported from their .reg file.
#pragma once
#include <string>

#include "bench/usb_history_image.h"

// clearFirst takes away an earlier image first (a real registry keeps what it was given).
bool LoadBenchImage(platform::IRegistry& registry, const UsbHistoryOptions& options,
                    const std::string& definitionsFile, bool clearFirst, std::string& error);
