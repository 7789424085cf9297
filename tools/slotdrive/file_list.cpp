#include "tools/slotdrive/file_list.h"

#include <vector>

#include "platform/reg_files/file_bytes.h"
#include "platform/text/mbcs_text.h"

namespace slotdrive {
namespace {

// A path's elements; a trail byte 0x5C ("ソ" is 83 5C) is part of its character.
std::vector<std::string> Elements(const std::string& path) {
  std::vector<std::string> elements = MbcsSplit(path, '\\');
  if (elements.size() > 1 && elements.back().empty()) elements.pop_back();
  return elements;
}

bool AddLine(const std::string& line, platform::MemoryFiles& files, std::string& error) {
  const size_t tab = line.find('\t');
  const std::string path = line.substr(0, tab);
  const std::string shortForm = tab == std::string::npos ? std::string() : line.substr(tab + 1);
  const bool folder = MbcsEndsWith(path, '\\');
  const std::string bare = folder ? path.substr(0, path.size() - 1) : path;
  if (!(folder ? files.AddFolder(bare) : files.AddFile(bare))) {
    error = "'" + path + "' is not an absolute path";
    return false;
  }
  if (shortForm.empty()) return true;
  const std::vector<std::string> longElements = Elements(path);
  const std::vector<std::string> shortElements = Elements(shortForm);
  if (longElements.size() != shortElements.size()) {
    error = "'" + shortForm + "' is no short form of '" + path + "'";
    return false;
  }
  std::string prefix = longElements[0];
  for (size_t i = 1; i < longElements.size(); ++i) {
    prefix += "\\" + longElements[i];
    if (MbcsUpper(shortElements[i]) != MbcsUpper(longElements[i]))
      files.SetShortName(prefix, shortElements[i]);
  }
  return true;
}

}  // namespace

bool LoadFileList(const std::string& file, platform::MemoryFiles& files, std::string& error) {
  // A listing of a machine's files: far below this bound.
  constexpr size_t kMaxListBytes = 16u << 20;
  std::string bytes;
  if (platform::ReadFileBytes(file, kMaxListBytes, bytes) != platform::FileReadResult::kOk) {
    error = file + ": cannot be read";
    return false;
  }
  size_t start = 0;
  for (int number = 1; start < bytes.size(); ++number) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (!AddLine(line, files, error)) {
      error = file + ":" + std::to_string(number) + ": " + error;
      return false;
    }
  }
  return true;
}

}  // namespace slotdrive
