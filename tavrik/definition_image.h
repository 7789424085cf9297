// The product's reader definitions as the installer puts them into the registry: the
// RW_Devices tree the ejector reads, generated from the reader catalogue both programs share,
// so the ejector finds every slot under the same ids the assignment program writes.
#pragma once
#include <string>
#include <vector>

#include "common/reader_catalogue.h"
#include "platform/registry.h"

// Where the installer puts the slot icons.
inline constexpr const char kInstalledIconFolder[] = "C:\\Program Files\\Norvell\\Tavrik\\Icons";

// The search keys of one slot: its NT ids, then its 9x ids (the Windows Me form last), at most
// five.
std::vector<std::string> SlotSearchKeys(const ReaderSlot& slot);

// The name filter of a reader: empty for a reader looked up by slot id alone, since an empty
// filter lets every friendly name and product id pass.
std::string ReaderNameFilter(const ReaderProduct& reader);

// Writes the whole tree under HKEY_LOCAL_MACHINE\SOFTWARE\Norvell\Tavrik\RW_Devices, the icons
// taken from iconFolder. Returns the first registry error, 0 on success.
long WriteDefinitionImage(platform::IRegistry& registry, const std::string& iconFolder,
                          const std::string& version);
