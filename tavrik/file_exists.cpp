#include "tavrik/file_exists.h"

bool FileExists(platform::IFiles& files, const std::string& path) {
  return path.size() < 260 && files.FileExists(path.c_str());
}
