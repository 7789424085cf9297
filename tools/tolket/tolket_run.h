// What one start of Tolket does, apart from reading files and showing windows: take away the
// values that the remove file's entries had written, then write the create file's entries.
#pragma once
#include <string>
#include <vector>

#include "platform/registry.h"

// Exit code bits; 0 means every entry was applied.
constexpr int kTolketRefusedLine = 1;    // a line was not an allowed entry, and was skipped
constexpr int kTolketUnreadableFile = 2; // a named data file could not be read
constexpr int kTolketRegistryFailed = 4; // a registry write or delete failed
constexpr int kTolketBadCommandLine = 8;

struct TolketArgs {
  std::string createFile;
  std::string removeFile;
  bool hideWindow = false;
  // Started without arguments: re-apply the latest create file.
  bool repair = false;
};

// Parses "-create:"FILE" [-remove:"FILE"] -hidewindow", "-remove:"FILE" -hidewindow" (the
// uninstaller takes back what the files it finds had written) or nothing at all. False, with
// error set to a text for the user, for anything else.
bool ParseTolketCommandLine(const std::string& arguments, TolketArgs& args, std::string& error);

struct TolketReport {
  int exitCode = 0;
  int removed = 0;
  int written = 0;
  std::vector<std::string> problems;
};

// createContent and removeContent are the files' bytes; null when the file is not used.
// Written and kept values follow Tavrik's "BackData" rule (tavrik/drive_icon_backup.h).
TolketReport RunTolket(platform::IRegistry& registry, const std::string* createContent,
                       const std::string* removeContent);

// What the message box tells the user about a run.
std::string TolketReportText(const TolketReport& report);
