#include "tools/slotdrive/output_file.h"

#include <cstdio>

#include "platform/file_bytes.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace slotdrive {

bool WriteOutput(const std::string& text, const std::string& path, std::string& error) {
  if (path.empty()) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    bool ok = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
              std::fflush(stdout) == 0;
    if (!ok) error = "cannot write to standard output";
    return ok;
  }
  if (!platform::WriteFileBytes(path, text)) {
    error = path + ": cannot be written";
    return false;
  }
  return true;
}

}  // namespace slotdrive
