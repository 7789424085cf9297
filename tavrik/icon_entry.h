// One registry value handed to the icon program: the default value of a key under a root.
#pragma once
#include <string>

class CIconEntry {
 public:
  CIconEntry(std::string root, std::string keyPath, std::string data, std::string drive);
  virtual ~CIconEntry() = default;

  // The entry as one line of a data file: "root,key path,value name,data,drive" and CR LF.
  // Nothing is quoted or escaped.
  std::string Line() const;

  std::string m_strRoot;       // "HKEY_LOCAL_MACHINE" or "HKEY_CLASSES_ROOT"
  std::string m_strKeyPath;    // below the root, with a trailing backslash
  std::string m_strValueName;  // always empty: the key's default value
  std::string m_strData;       // an icon file or a label
  std::string m_strDrive;      // the slot's drive letter
};
