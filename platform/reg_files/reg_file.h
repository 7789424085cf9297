// Registry files (.reg): reading both formats regedit writes into any registry, and writing
// the REGEDIT4 format.
//
// Read: "REGEDIT4" files hold ANSI (cp932) text; "Windows Registry Editor Version 5.00" files
// are UTF-16LE with a byte-order mark as regedit writes them (UTF-8 text is accepted too).
// Strings of a version 5.00 file, and its hex(1), hex(2) and hex(7) data (UTF-16LE bytes), are
// turned into cp932 as the ANSI registry calls would return them. A file with anything
// malformed is refused whole, with "FILE:LINE: reason", before anything is applied.
//
// Written: REGEDIT4 in cp932, keys and values in the registry's enumeration order, strings
// quoted when they read back byte for byte, everything else as hex; reading the text back
// gives the same keys, values, types and data.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace platform {

// One change a .reg file asks for.
struct RegFileOperation {
  enum class Kind { kCreateKey, kDeleteTree, kSetValue, kDeleteValue };
  Kind kind = Kind::kCreateKey;
  RegKey root = 0;
  std::string path;           // below the root, ANSI; empty for the root itself
  std::string valueName;      // ANSI; empty for the default value
  uint32_t type = kRegNone;
  std::vector<uint8_t> data;  // as the ANSI calls see it
  int line = 0;               // where the file asks for it
};

// Parses the bytes of a .reg file. On failure returns false, leaves operations empty and
// sets error to "FILE:LINE: reason", FILE being fileName.
bool ParseRegFile(const std::string& bytes, const std::string& fileName,
                  std::vector<RegFileOperation>& operations, std::string& error);

// Applies parsed operations in order. Deleting what does not exist is not an error. A
// failing registry call stops it with "FILE:LINE: reason (error N)"; what was applied before
// stays applied.
bool ApplyRegFile(IRegistry& registry, const std::vector<RegFileOperation>& operations,
                  const std::string& fileName, std::string& error);

// Parse, then apply.
bool ImportRegText(IRegistry& registry, const std::string& bytes, const std::string& fileName,
                   std::string& error);
// Reads the file at path, then imports it; the path is the FILE of error messages.
bool ImportRegFile(IRegistry& registry, const std::string& path, std::string& error);

// A key tree to export: root and the path below it ("" for the whole root).
struct RegExportTree {
  RegKey root = 0;
  std::string path;
};

// Writes the trees as one REGEDIT4 text (CRLF line ends). Returns false with a reason when a
// key cannot be read or a name cannot be written so that it reads back the same.
bool ExportRegFile(IRegistry& registry, const std::vector<RegExportTree>& trees,
                   std::string& text, std::string& error);

// "HKEY_LOCAL_MACHINE" and the other root names as .reg files spell them; null if unknown.
const char* RegRootName(RegKey root);
// A root name, full or short ("HKLM"), case-insensitive; false if unknown.
bool ParseRegRootName(const std::string& name, RegKey& root);

}  // namespace platform
