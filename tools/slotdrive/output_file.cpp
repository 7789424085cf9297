#include "tools/slotdrive/output_file.h"

#include <cstdio>

#include "platform/reg_files/file_bytes.h"

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

bool OutPath(const CommandLine& commandLine, std::string& path, std::string& error,
             StandardOutput standardOutput) {
  path = commandLine.Value("out");
  const bool toStandardOutput = path == "-";
  if (path.empty() || (toStandardOutput && standardOutput == StandardOutput::kTaken)) {
    error = standardOutput == StandardOutput::kTaken
                ? "--out needs a file name (the report goes to standard output)"
                : "--out needs a file name (\"-\" for standard output)";
    return false;
  }
  if (toStandardOutput) path.clear();
  return true;
}

}  // namespace slotdrive
