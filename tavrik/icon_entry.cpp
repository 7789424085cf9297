#include "tavrik/icon_entry.h"

#include <utility>

CIconEntry::CIconEntry(std::string root, std::string keyPath, std::string data, std::string drive)
    : CIconEntry(std::move(root), std::move(keyPath), std::string(), std::move(data),
                 std::move(drive)) {}

CIconEntry::CIconEntry(std::string root, std::string keyPath, std::string valueName,
                       std::string data, std::string drive)
    : m_strRoot(std::move(root)),
      m_strKeyPath(std::move(keyPath)),
      m_strValueName(std::move(valueName)),
      m_strData(std::move(data)),
      m_strDrive(std::move(drive)) {}

std::string CIconEntry::Line() const {
  return m_strRoot + "," + m_strKeyPath + "," + m_strValueName + "," + m_strData + "," +
         m_strDrive + "\r\n";
}

namespace {

// Icon paths and labels are printable text; a byte below 0x20 or 0x7F is never part of one,
// not even as the second byte of a code page 932 character (0x40 to 0x7E and 0x80 to 0xFC).
bool HasControlByte(const std::string& line) {
  for (char c : line) {
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return true;
  }
  return false;
}

bool SplitEntry(const std::string& line, CIconEntry& entry, std::string& reason) {
  size_t first = line.find(',');
  size_t second = first == std::string::npos ? first : line.find(',', first + 1);
  size_t third = second == std::string::npos ? second : line.find(',', second + 1);
  size_t last = line.rfind(',');
  if (third == std::string::npos || last == third) {
    reason = "項目が足りません";
    return false;
  }
  entry.m_strRoot = line.substr(0, first);
  entry.m_strKeyPath = line.substr(first + 1, second - first - 1);
  entry.m_strValueName = line.substr(second + 1, third - second - 1);
  entry.m_strData = line.substr(third + 1, last - third - 1);
  entry.m_strDrive = line.substr(last + 1);
  return true;
}

}  // namespace

IconEntryFile ParseIconEntryFile(const std::string& content) {
  IconEntryFile file;
  size_t start = 0;
  int lineNumber = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    size_t next = end == std::string::npos ? content.size() : end + 1;
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    start = next;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;

    std::string reason;
    CIconEntry entry;
    if (line.size() > kMaxIconEntryLine) {
      reason = "行が長すぎます";
    } else if (HasControlByte(line)) {
      reason = "制御文字が含まれています";
    } else if (SplitEntry(line, entry, reason)) {
      file.lines.push_back({lineNumber, entry});
      continue;
    }
    file.refused.push_back(std::to_string(lineNumber) + " 行目: " + reason);
  }
  return file;
}
