#include "tools/tolket/icon_entry_file.h"

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

bool SplitEntry(const std::string& line, IconEntry& entry, std::string& reason) {
  size_t first = line.find(',');
  size_t second = first == std::string::npos ? first : line.find(',', first + 1);
  size_t third = second == std::string::npos ? second : line.find(',', second + 1);
  size_t last = line.rfind(',');
  if (third == std::string::npos || last == third) {
    reason = "項目が足りません";
    return false;
  }
  entry.root = line.substr(0, first);
  entry.keyPath = line.substr(first + 1, second - first - 1);
  entry.valueName = line.substr(second + 1, third - second - 1);
  entry.data = line.substr(third + 1, last - third - 1);
  entry.drive = line.substr(last + 1);
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
    IconEntry entry;
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
