// The machine a command works on: a registry image loaded from .reg files (--reg, repeatable,
// loaded in order into one image) or, in the Windows build, the running system's own
// registry (--live); and the system whose version the finder classifies (--os, or the
// running system with --live).
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/reg_files/reg_file.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "platform/twin/twin_registry.h"
#include "tools/slotdrive/command_line.h"

namespace slotdrive {

// The options that choose a machine, for a command's option list.
std::vector<OptionRule> MachineOptions();

struct Machine {
  std::unique_ptr<platform::IRegistry> registry;
  std::unique_ptr<platform::ISystem> system;
  // The loaded image; null with --live.
  platform::MemoryRegistry* image = nullptr;
};

enum class OsNeed { kRequired, kUnused };

// Builds the machine the options name. False with a reason ("FILE:LINE: reason" for a .reg
// file) when an option is missing or wrong or a file cannot be loaded.
bool OpenMachine(const CommandLine& commandLine, OsNeed osNeed, Machine& machine,
                 std::string& error);

// The trees of requested whose top key exists in registry.
std::vector<platform::RegExportTree> ExistingTrees(platform::IRegistry& registry,
                                                   const std::vector<platform::RegExportTree>& requested);

// Copies trees of registry into image, through the REGEDIT4 text an export gives. False with
// a reason when a tree cannot be exported.
bool CopyTrees(platform::IRegistry& registry, const std::vector<platform::RegExportTree>& trees,
               platform::MemoryRegistry& image, std::string& error);

// Writes the whole loaded image as a REGEDIT4 file to path ("" for standard output). False
// with a reason when it cannot be exported or written.
bool WriteImage(const Machine& machine, const std::string& path, std::string& error);

}  // namespace slotdrive
