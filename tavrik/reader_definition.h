// One reader model as its definition key under RW_Devices describes it.
#pragma once
#include <cstdint>
#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "tavrik/slot_definition.h"

// The definitions key in HKEY_LOCAL_MACHINE, and the same with the backslash that model key
// paths are built on.
inline constexpr const char kDefinitionsKey[] = "SOFTWARE\\Norvell\\Tavrik\\RW_Devices";
inline constexpr const char kDefinitionsKeyPath[] = "SOFTWARE\\Norvell\\Tavrik\\RW_Devices\\";

constexpr int kMaxDefinedSlots = 5;

class CReaderDefinition {
 public:
  CReaderDefinition(platform::IRegistry& registry, platform::IFiles& files);
  virtual ~CReaderDefinition();

  // Reads the model's key; 0 when it opened, -1 when it did not (then only m_strModel is set).
  // "DriveNum" above 5 reads five slots and "Count" of 6 to 9 five keys; a numeric value
  // that is missing reads as 0, so a reader without "DriveNum" presents no slots.
  int Load(const std::string& model);

  uint32_t m_nVid = 0;
  uint32_t m_nPid = 0;
  uint8_t m_nDriveNum = 0;
  std::string m_strFriendlyName;
  std::string m_strMemo;
  CSlotDefinition m_aSlots[kMaxDefinedSlots];
  std::string m_strModel;

 private:
  void LoadSlot(const char* modelPath, int slot);
  void LoadSearchKeys(const char* slotPath, CSearchKeyList& keys);
  std::string ShortPath(const std::string& path);

  platform::IRegistry* m_registry;
  platform::IFiles* m_files;
};
