#include "tools/tolket/tolket_run.h"

#include <cstring>

#include "platform/owners/scoped_reg_key.h"
#include "tavrik/drive_icon_backup.h"
#include "tavrik/icon_entry.h"
#include "tools/tolket/drive_icon_whitelist.h"

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
      entry.data = line.entry.m_strData;
      checked.push_back(entry);
    } else {
      report.problems.push_back(std::string(fileName) + " " + std::to_string(line.lineNumber) +
                                " 行目: " + reason);
    }
  }
  if (!file.refused.empty() || checked.size() != file.lines.size())
    report.exitCode |= kTolketRefusedLine;
  return checked;
}

void ReportRegistryFailure(TolketReport& report, const std::string& what, long status) {
  report.exitCode |= kTolketRegistryFailed;
  report.problems.push_back(what + " (エラー " + std::to_string(status) + ")");
}

// True when the key has neither subkeys nor values.
bool KeyIsEmpty(platform::IRegistry& registry, platform::RegKey root, const std::string& path) {
  ScopedRegKey key(registry);
  if (key.Open(root, path.c_str(), platform::kKeyRead) != platform::kErrorSuccess) return false;
  char name[260];
  uint32_t nameChars = sizeof name;
  if (registry.EnumKey(key.Get(), 0, name, &nameChars) != platform::kErrorNoMoreItems) return false;
  nameChars = sizeof name;
  return registry.EnumValue(key.Get(), 0, name, &nameChars, nullptr, nullptr, nullptr) ==
         platform::kErrorNoMoreItems;
}

// Takes a value away only while it still holds what the entry wrote: a value that someone
// changed since belongs to them now. What was there before comes back from "BackData" as
// Tavrik puts it back; without a backup the key goes as Tavrik's goes on Windows NT to Vista,
// and Explorer's drive key with it once nothing is left in it. The machine-wide drive key
// stays, as Windows keeps it.
void RemoveEntry(platform::IRegistry& registry, const CheckedEntry& entry, TolketReport& report) {
  const DriveIconTarget& target = entry.target;
  ScopedRegKey key(registry);
  long status = key.Open(target.root, target.keyPath.c_str(), platform::kKeyAllAccess);
  if (status == platform::kErrorFileNotFound) return;  // gone already
  if (status != platform::kErrorSuccess) {
    ReportRegistryFailure(report, target.keyPath + " を開けませんでした", status);
    return;
  }
  // One byte more than an entry may hold, so that a longer value (ERROR_MORE_DATA) never
  // equals one; a spare byte terminates a value that fills them.
  char current[kMaxIconEntryData + 2] = {};
  uint32_t type = 0;
  uint32_t size = kMaxIconEntryData + 1;
  status = registry.QueryValue(key.Get(), "", &type, reinterpret_cast<uint8_t*>(current), &size);
  if (status != platform::kErrorSuccess && status != platform::kErrorFileNotFound &&
      status != platform::kErrorMoreData) {
    ReportRegistryFailure(report, target.keyPath + " を読めませんでした", status);
    return;
  }
  if (status != platform::kErrorSuccess || type != platform::kRegSz ||
      std::strcmp(current, entry.data.c_str()) != 0)
    return;
  const DriveIconUndo undo =
      UndoDriveIconValue(registry, key.Get(), [](const std::string&) { return true; });
  key.Close();
  if (undo == DriveIconUndo::kFailed) {
    ReportRegistryFailure(report, target.keyPath + " の値を取り除けませんでした",
                          platform::kErrorAccessDenied);
    return;
  }
  const bool restored = undo == DriveIconUndo::kRestored;
  status = platform::kErrorSuccess;
  if (!restored &&
      DeleteDriveIconSubKey(registry, target.root, target.driveKey, target.leaf) !=
          platform::kErrorSuccess) {
    // Someone keeps subkeys below it: the key stays, without our value.
    status = key.Open(target.root, target.keyPath.c_str(), platform::kKeyAllAccess);
    if (status == platform::kErrorSuccess) status = registry.DeleteValue(key.Get(), "");
    key.Close();
  }
  if (status != platform::kErrorSuccess) {
    ReportRegistryFailure(report, target.keyPath + " の値を取り除けませんでした", status);
    return;
  }
  ++report.removed;
  if (!restored && target.root == platform::kHkeyClassesRoot &&
      KeyIsEmpty(registry, target.root, target.driveKey)) {
    // driveKey is "...\Drives\X".
    const std::string letter(1, target.driveKey.back());
    DeleteDriveIconSubKey(registry, target.root,
                          target.driveKey.substr(0, target.driveKey.size() - 2), letter.c_str());
  }
}

void WriteEntry(platform::IRegistry& registry, const CheckedEntry& entry, TolketReport& report) {
  ScopedRegKey key(registry);
  long status = key.Create(entry.target.root, entry.target.keyPath.c_str(), platform::kKeyAllAccess);
  if (status == platform::kErrorSuccess &&
      !WriteDriveIconValue(registry, key.Get(), entry.data))
    status = platform::kErrorAccessDenied;
  if (status == platform::kErrorSuccess)
    ++report.written;
  else
    ReportRegistryFailure(report, entry.target.keyPath + " に書き込めませんでした", status);
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
        error = "-create: のあとにデータファイルの名前がありません。";
        return false;
      }
    } else if (StartsWith(arguments, pos, "-remove:")) {
      pos += 8;
      if (!TakeFileArgument(arguments, pos, args.removeFile)) {
        error = "-remove: のあとにデータファイルの名前がありません。";
        return false;
      }
    } else if (StartsWith(arguments, pos, "-hidewindow") &&
               (pos + 11 == arguments.size() || arguments[pos + 11] == ' ')) {
      args.hideWindow = true;
      pos += 11;
    } else {
      error = "分からない引数です: " + arguments.substr(pos);
      return false;
    }
  }
  if (!any) {
    args.repair = true;
    return true;
  }
  if (args.createFile.empty() && args.removeFile.empty()) {
    error = "-create: か -remove: でデータファイルを指定してください。";
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

std::string TolketReportText(const TolketReport& report) {
  std::string text = "ドライブのアイコンとラベルを " + std::to_string(report.written) +
                     " 件書き込み、" + std::to_string(report.removed) + " 件取り除きました。";
  for (const std::string& problem : report.problems) text += "\n" + problem;
  return text;
}
