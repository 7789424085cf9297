#include "bench/bench_image.h"

#include "platform/reg_files/reg_file.h"

bool LoadBenchImage(platform::IRegistry& registry, const UsbHistoryOptions& options,
                    const std::string& definitionsFile, bool clearFirst, std::string& error) {
  if (clearFirst) ClearUsbHistoryImage(registry);
  const long rc = WriteUsbHistoryImage(registry, options);
  if (rc != platform::kErrorSuccess) {
    error = "writing the image failed with error " + std::to_string(rc);
    return false;
  }
  return platform::ImportRegFile(registry, definitionsFile, error);
}
