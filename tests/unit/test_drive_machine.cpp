#include "test_drive_machine.h"

#include <gtest/gtest.h>

#include "platform/owners/scoped_reg_key.h"
#include "platform/reg_files/reg_file.h"

using platform::kErrorSuccess;
using platform::kHkeyLocalMachine;

DriveMachine::DriveMachine(const char* osTag, std::initializer_list<const char*> fixtures)
    : fake::Machine(osTag) {
  if (std::string(osTag) != "OTHER") {
    EXPECT_TRUE(osTagKnown) << osTag;
  }
  for (const char* fixture : fixtures) {
    std::string error;
    EXPECT_TRUE(platform::ImportRegFile(registry, std::string(FIXTURE_DIR) + "/" + fixture, error))
        << error;
  }
}

std::vector<std::string> DriveMachine::ValueNames(platform::RegKey root, const std::string& path) {
  std::vector<std::string> names;
  auto keys = registry.Snapshot(root, path);  // the key itself comes first
  if (!keys.empty())
    for (const auto& value : keys.front().values) names.push_back(value.name);
  return names;
}

std::vector<std::string> DriveMachine::DriveLetterNames() {
  std::vector<std::string> names;
  for (const std::string& name : ValueNames(kHkeyLocalMachine, kMountKey))
    if (name.rfind("\\DosDevices\\", 0) == 0) names.push_back(name);
  return names;
}

std::vector<uint8_t> DriveMachine::ValueData(platform::RegKey root, const std::string& path,
                                             const std::string& name) {
  auto keys = registry.Snapshot(root, path);
  if (!keys.empty())
    for (const auto& value : keys.front().values)
      if (value.name == name) return value.data;
  return {};
}

std::string DriveMachine::MountRecord(char letter) {
  std::vector<uint8_t> data =
      ValueData(kHkeyLocalMachine, kMountKey, std::string("\\DosDevices\\") + letter + ":");
  std::string text;
  for (size_t i = 0; i + 1 < data.size(); i += 2)
    text.push_back(data[i + 1] == 0 ? static_cast<char>(data[i]) : '?');
  return text;
}

void DriveMachine::SetMountRecord(const std::string& valueName, const std::string& asciiText) {
  long status = kErrorSuccess;
  fake::WriteMountRecord(registry, valueName, asciiText, status);
  ASSERT_EQ(kErrorSuccess, status);
}

void DriveMachine::SetBinary(platform::RegKey root, const std::string& path,
                             const std::string& name, const std::vector<uint8_t>& data) {
  long status = kErrorSuccess;
  fake::KeyWriter(registry, root, path, status).Set(name, platform::kRegBinary, data);
  ASSERT_EQ(kErrorSuccess, status);
}

void DriveMachine::SetText(platform::RegKey root, const std::string& path,
                           const std::string& name, const std::string& text) {
  long status = kErrorSuccess;
  fake::KeyWriter(registry, root, path, status).Text(name, text);
  ASSERT_EQ(kErrorSuccess, status);
}

void DriveMachine::DeleteValue(platform::RegKey root, const std::string& path,
                               const std::string& name) {
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(kErrorSuccess, key.Open(root, path.c_str(), platform::kKeyAllAccess));
  ASSERT_EQ(kErrorSuccess, registry.DeleteValue(key.Get(), name.c_str()));
}
