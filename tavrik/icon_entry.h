// The hand-off of drive icon values from Tavrik to Tolket: one registry value per line of the
// data files ("create.dat", "remove.dat"). Tavrik writes the lines, Tolket reads them back.
//
// One entry per line, "root,key path,value name,data,drive" with CR LF. Nothing is quoted or
// escaped, so a label may contain commas: the reader takes root, key path and value name from
// the left, the drive from the right, and everything between is the data.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// One registry value handed to the icon program: the default value of a key under a root.
class CIconEntry {
 public:
  CIconEntry() = default;
  CIconEntry(std::string root, std::string keyPath, std::string data, std::string drive);
  CIconEntry(std::string root, std::string keyPath, std::string valueName, std::string data,
             std::string drive);
  virtual ~CIconEntry() = default;

  // The entry as one line of a data file, CR LF included.
  std::string Line() const;

  std::string m_strRoot;       // "HKEY_LOCAL_MACHINE" or "HKEY_CLASSES_ROOT"
  std::string m_strKeyPath;    // below the root, with a trailing backslash
  std::string m_strValueName;  // empty from Tavrik: the key's default value
  std::string m_strData;       // an icon file or a label
  std::string m_strDrive;      // the slot's drive letter
};

struct IconEntryLine {
  int lineNumber = 0;
  CIconEntry entry;
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
