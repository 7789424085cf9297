// The .reg loader on any bytes: a file is refused whole or applied; whatever the registry then
// holds exports to a text that imports back to the very same image.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "platform/reg_files/reg_file.h"
#include "platform/twin/twin_registry.h"

using platform::MemoryRegistry;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 256 * 1024) return 0;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<platform::RegFileOperation> operations;
  std::string error;
  if (!platform::ParseRegFile(bytes, "fuzz.reg", operations, error)) {
    FUZZ_CHECK(operations.empty());
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  MemoryRegistry first;
  platform::ApplyRegFile(first, operations, "fuzz.reg", error);
  FUZZ_CHECK(first.OpenHandleCount() == 0);

  std::vector<platform::RegExportTree> trees;
  for (platform::RegKey root :
       {platform::kHkeyClassesRoot, platform::kHkeyCurrentUser, platform::kHkeyLocalMachine,
        platform::kHkeyUsers, platform::kHkeyDynData})
    trees.push_back({root, ""});
  std::string text;
  if (!platform::ExportRegFile(first, trees, text, error)) return 0;  // refused with a reason
  FUZZ_CHECK(first.OpenHandleCount() == 0);

  MemoryRegistry second;
  if (!platform::ImportRegText(second, text, "export.reg", error)) {
    std::fprintf(stderr, "the export does not import: %s\n%s\n", error.c_str(), text.c_str());
    FUZZ_CHECK(false);
  }
  FUZZ_CHECK(first.SnapshotAll() == second.SnapshotAll());
  return 0;
}
