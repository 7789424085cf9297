// Mount records of the NT family: the values "\DosDevices\X:" of "System\MountedDevices",
// whose REG_BINARY data is the UTF-16LE path of the volume that gets letter X.
//   XP style:    \??\STORAGE#RemovableMedia#<ParentIdPrefix>&RM#{53f5630d-...}
//   Vista style: _??_USBSTOR#Disk&Ven_...&Prod_...#<instance>#{53f56307-...}
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/system.h"

inline constexpr const char kMountedDevicesKey[] = "System\\MountedDevices";
inline constexpr const char kDosDevicesPrefix[] = "\\DosDevices\\";
// How the two record styles begin, upper-cased as the lookups' match texts are.
inline constexpr const char kXpRecordHeadUpper[] = "\\??\\STORAGE#REMOVABLEMEDIA#";
inline constexpr const char kVistaRecordHead[] = "_??_USBSTOR#";

// The whole XP-style record of a disk, in mixed case, the prefix exactly as given.
std::string XpMountRecordText(const std::string& parentIdPrefix);
// What the lookup looks for: the record up to and including "&RM#{", upper-cased.
std::string XpMountLookupText(const std::string& parentIdPrefix);
// The Vista-style record head of a USB storage slot id, upper-cased: every '/' becomes '#',
// every "USBSTOR\" is removed and "_??_USBSTOR#" is put in front.
std::string VistaMountMatchText(const std::string& slotId);

// "\DosDevices\" + letter + ":".
std::string DosDevicesValueName(char letter);
// The letter of a "\DosDevices\X:" name: the character at index 12, as stored. A name with
// no ASCII letter there (just "\DosDevices\", or the prefix further into the name) has none.
bool DriveLetterOfValueName(const std::string& name, char& letter);

// Decodes record data: the data with two zero bytes appended is converted to ANSI through
// an output of bufferSize bytes. False when data and terminator do not fit bufferSize bytes
// or the conversion fails.
bool DecodeMountRecord(platform::ISystem& system, const uint8_t* data, uint32_t dataBytes,
                       uint32_t bufferSize, std::string& text);
// Encodes text as UTF-16LE without terminator; false when it is empty, does not fit
// bufferSize bytes or cannot be converted.
bool EncodeMountRecord(platform::ISystem& system, const std::string& text, uint32_t bufferSize,
                       std::vector<uint8_t>& data);

// A "\DosDevices\" value whose record matched, with its record text as decoded (case kept).
struct MountRecordHit {
  std::string valueName;
  std::string recordText;
};

// Scans the open mount key for "\DosDevices\" values whose decoded, upper-cased record
// contains matchText (already upper case), through buffers of bufferSize.
void ForEachMatchingMountRecord(platform::IRegistry& registry, platform::ISystem& system,
                                platform::RegKey mountKey, uint32_t bufferSize,
                                const std::string& matchText,
                                const std::function<void(const MountRecordHit&)>& visit);
