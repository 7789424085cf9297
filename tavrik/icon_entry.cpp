#include "tavrik/icon_entry.h"

#include <utility>

CIconEntry::CIconEntry(std::string root, std::string keyPath, std::string data, std::string drive)
    : m_strRoot(std::move(root)),
      m_strKeyPath(std::move(keyPath)),
      m_strData(std::move(data)),
      m_strDrive(std::move(drive)) {}

std::string CIconEntry::Line() const {
  return m_strRoot + "," + m_strKeyPath + "," + m_strValueName + "," + m_strData + "," +
         m_strDrive + "\r\n";
}
