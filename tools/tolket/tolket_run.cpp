#include "tools/tolket/tolket_run.h"

#include <cstring>

#include "platform/scoped_reg_key.h"
#include "tools/tolket/drive_icon_whitelist.h"
#include "tools/tolket/icon_entry_file.h"

namespace {

using platform::ScopedRegKey;

struct CheckedEntry {
  DriveIconTarget target;
  std::string data;
};

std::vector<CheckedEntry> CheckEntries(const std::string& content, const char* fileName,
                                       TolketReport& report) {
  IconEntryFile file = ParseIconEntryFile(content);
  std::vector<CheckedEntry> checked;
  for (const std::string& refused : file.refused)
    report.problems.push_back(std::string(fileName) + " " + refused);
  for (const IconEntryLine& line : file.lines) {
    CheckedEntry entry;
    std::string reason;
    if (CheckDriveIconEntry(line.entry, entry.target, reason)) {
      entry.data = line.entry.data;
      checked.push_back(entry);
    } else {
      report.problems.push_back(std::string(fileName) + " line " +
                                std::to_string(line.lineNumber) + ": " + reason);
    }
  }
  if (!file.refused.empty() || checked.size() != file.lines.size())
    report.exitCode |= kTolketRefusedLine;
  return checked;
}

// Takes a value away only while it still holds what the entry wrote: a value that someone
// changed since belongs to them now.
void RemoveEntry(platform::IRegistry& registry, const CheckedEntry& entry, TolketReport& report) {
  ScopedRegKey key(registry);
  if (key.Open(entry.target.root, entry.target.keyPath.c_str(), platform::kKeyAllAccess) !=
      platform::kErrorSuccess)
    return;
  uint8_t current[kMaxIconEntryData + 2] = {};
  uint32_t size = sizeof current - 1;
  uint32_t type = 0;
  if (registry.QueryValue(key.Get(), "", &type, current, &size) != platform::kErrorSuccess)
    return;
  if (type != platform::kRegSz || std::strcmp(reinterpret_cast<char*>(current), entry.data.c_str()) != 0)
    return;
  if (registry.DeleteValue(key.Get(), "") == platform::kErrorSuccess)
    ++report.removed;
  else
    report.exitCode |= kTolketRegistryFailed;
}

void WriteEntry(platform::IRegistry& registry, const CheckedEntry& entry, TolketReport& report) {
  ScopedRegKey key(registry);
  long status = key.Create(entry.target.root, entry.target.keyPath.c_str(), platform::kKeyAllAccess);
  if (status == platform::kErrorSuccess)
    status = registry.SetValue(key.Get(), "", platform::kRegSz,
                               reinterpret_cast<const uint8_t*>(entry.data.c_str()),
                               static_cast<uint32_t>(entry.data.size() + 1));
  if (status == platform::kErrorSuccess) {
    ++report.written;
  } else {
    report.exitCode |= kTolketRegistryFailed;
    report.problems.push_back("cannot write " + entry.target.keyPath + " (error " +
                              std::to_string(status) + ")");
  }
}

// Reads a quoted or bare file argument after its "-create:" / "-remove:" switch.
bool TakeFileArgument(const std::string& text, size_t& pos, std::string& file) {
  if (pos < text.size() && text[pos] == '"') {
    size_t close = text.find('"', pos + 1);
    if (close == std::string::npos) return false;
    file = text.substr(pos + 1, close - pos - 1);
    pos = close + 1;
  } else {
    size_t end = text.find(' ', pos);
    if (end == std::string::npos) end = text.size();
    file = text.substr(pos, end - pos);
    pos = end;
  }
  return !file.empty();
}

bool StartsWith(const std::string& text, size_t pos, const char* prefix) {
  return text.compare(pos, std::strlen(prefix), prefix) == 0;
}

}  // namespace

bool ParseTolketCommandLine(const std::string& arguments, TolketArgs& args, std::string& error) {
  args = TolketArgs();
  size_t pos = 0;
  bool any = false;
  while (true) {
    while (pos < arguments.size() && (arguments[pos] == ' ' || arguments[pos] == '\t')) ++pos;
    if (pos >= arguments.size()) break;
    any = true;
    if (StartsWith(arguments, pos, "-create:")) {
      pos += 8;
      if (!TakeFileArgument(arguments, pos, args.createFile)) {
        error = "-create: needs a file";
        return false;
      }
    } else if (StartsWith(arguments, pos, "-remove:")) {
      pos += 8;
      if (!TakeFileArgument(arguments, pos, args.removeFile)) {
        error = "-remove: needs a file";
        return false;
      }
    } else if (StartsWith(arguments, pos, "-hidewindow") &&
               (pos + 11 == arguments.size() || arguments[pos + 11] == ' ')) {
      args.hideWindow = true;
      pos += 11;
    } else {
      error = "unknown argument: " + arguments.substr(pos);
      return false;
    }
  }
  if (!any) {
    args.repair = true;
    return true;
  }
  if (args.createFile.empty()) {
    error = "-create: is required";
    return false;
  }
  return true;
}

TolketReport RunTolket(platform::IRegistry& registry, const std::string* createContent,
                       const std::string* removeContent) {
  TolketReport report;
  if (removeContent != nullptr)
    for (const CheckedEntry& entry : CheckEntries(*removeContent, "remove.dat", report))
      RemoveEntry(registry, entry, report);
  if (createContent != nullptr)
    for (const CheckedEntry& entry : CheckEntries(*createContent, "create.dat", report))
      WriteEntry(registry, entry, report);
  return report;
}
