// slotdrive definitions: writes the product's reader definitions (the RW_Devices tree the
// ejector reads) as the REGEDIT4 file the installer imports, generated from the reader
// catalogue so that it always names the ids the assignment program uses.
#include "platform/reg_files/reg_file.h"
#include "platform/twin/twin_registry.h"
#include "resources/version.h"
#include "tavrik/definition_image.h"
#include "tavrik/reader_definition.h"
#include "tools/slotdrive/ansi_arguments.h"
#include "tools/slotdrive/command_line.h"
#include "tools/slotdrive/commands.h"
#include "tools/slotdrive/output_file.h"

namespace slotdrive {

int RunDefinitions(const std::vector<std::string>& args) {
  CommandLine commandLine;
  std::string error;
  if (!commandLine.Parse(args, {{"icons", true, false}, {"out", true, false}}, error))
    return Refuse("definitions", error);
  if (!commandLine.Positionals().empty())
    return Refuse("definitions", "unexpected argument '" + commandLine.Positionals()[0] + "'");
  std::string icons, out;
  if (commandLine.Has("out") && !OutPath(commandLine, out, error))
    return Refuse("definitions", error);
  if (!ArgumentToAnsi(commandLine.Value("icons", kInstalledIconFolder), icons, error))
    return Refuse("definitions", error);

  platform::MemoryRegistry image;
  const long status = WriteDefinitionImage(image, icons, PRODUCT_VERSION_TEXT);
  if (status != platform::kErrorSuccess)
    return Refuse("definitions", "cannot build the definitions (error " +
                                     std::to_string(status) + ")");
  std::string text;
  if (!platform::ExportRegFile(image, {{platform::kHkeyLocalMachine, kDefinitionsKey}}, text,
                               error) ||
      !WriteOutput(text, out, error))
    return Refuse("definitions", error);
  return kExitDone;
}

}  // namespace slotdrive
