// Reading the data files that Tavrik hands to Tolket ("create.dat", "remove.dat").
//
// One entry per line, "root,key path,value name,data,drive" with CR LF. The writer does not
// escape commas, so a label may contain some: root, key path and value name are taken from the
// left, the drive from the right, and everything between is the data.
#pragma once
#include <string>
#include <vector>

struct IconEntry {
  std::string root;
  std::string keyPath;
  std::string valueName;
  std::string data;
  std::string drive;
};

struct IconEntryLine {
  int lineNumber = 0;
  IconEntry entry;
};

struct IconEntryFile {
  std::vector<IconEntryLine> lines;
  // "N 行目: reason" for every line that could not be read as an entry; a line with a control
  // byte (below 0x20, or 0x7F) is one.
  std::vector<std::string> refused;
};

// A line longer than this is not one the ejector writes (two 259-byte fields and fixed keys).
constexpr size_t kMaxIconEntryLine = 1024;
// A data file larger than this is not one the ejector writes for 133 slots.
constexpr size_t kMaxIconEntryFile = 1024 * 1024;

IconEntryFile ParseIconEntryFile(const std::string& content);
