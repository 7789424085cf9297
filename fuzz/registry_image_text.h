// Fuzz input as a registry image: one directive per line, fields split at '|', so seeds are
// written by hand and mutations stay meaningful.
//
//   K|ROOT|path[|name|type|data]   create the key, and set a value when a name is given
//   R|n                            repeat the next line n times, "%i" in it becoming 0..n-1
//   anything else                  handed back to the target (its own parameters)
//
// ROOT is HKLM, HKCU, HKCR, HKU or HKDD. A field "*N:text" is text repeated to N bytes (names
// and data at exactly the buffer sizes, oversized ones). Data: "d:NUMBER" four bytes,
// "x:HEX" raw bytes, "u:TEXT" UTF-16LE without terminator, "s:TEXT" text with its NUL, any
// other field its bytes as they are (odd lengths, no terminator).
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

using FuzzFields = std::vector<std::string>;

// Writes the image into registry; returns the lines that are not registry directives.
std::vector<FuzzFields> WriteRegistryImageText(platform::IRegistry& registry,
                                               const std::string& text);

// The field as it expands ("*N:text").
std::string ExpandFuzzField(std::string_view field);
