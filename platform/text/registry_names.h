// How the registry compares and orders key and value names given as ANSI (cp932) text.
//
// Names match case-insensitively with ASCII folding only; the trail byte of a double-byte
// character (lead bytes 0x81-0x9F, 0xE0-0xFC) is never folded, since 0x61-0x7A are valid
// trail bytes and folding them would change the character.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// ASCII letters folded to upper (or lower) case, double-byte characters unchanged.
std::string FoldRegistryName(const std::string& name, bool toUpper);

bool RegistryNamesEqual(const std::string& a, const std::string& b);
// A hash that equal names (as RegistryNamesEqual compares them) share.
uint32_t RegistryNameHash(const std::string& name);

// A key that sorts names the way a registry orders them: the folded name in UTF-16 code
// units (the registry stores names in UTF-16), or the folded bytes when the name is not
// valid cp932.
std::u16string RegistryNameSortKey(const std::string& name, bool toUpper);

}  // namespace platform
