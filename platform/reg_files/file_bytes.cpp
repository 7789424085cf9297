#include "platform/reg_files/file_bytes.h"

#include <cstdio>

namespace platform {

FileReadResult ReadFileBytes(const std::string& path, size_t maxBytes, std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return FileReadResult::kCannotOpen;
  bytes.clear();
  FileReadResult result = FileReadResult::kOk;
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    bytes.append(chunk, n);
    if (bytes.size() > maxBytes) {
      result = FileReadResult::kTooLarge;
      break;
    }
  }
  if (result == FileReadResult::kOk && std::ferror(file)) result = FileReadResult::kReadError;
  std::fclose(file);
  return result;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace platform
