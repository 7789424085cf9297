// The reader definitions the ejector's main window owns: the 19 records in catalogue order,
// how many of them are in use, and the version text of the definitions.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "common/reader_catalogue.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "tavrik/reader_definition.h"
#include "tavrik/slot_cells.h"

class CReaderDefinitions {
 public:
  CReaderDefinitions(platform::IRegistry& registry, platform::IFiles& files);
  virtual ~CReaderDefinitions();

  // 0 when the definitions key opened and all 19 records were loaded; otherwise the registry
  // error of opening it, with nothing read and m_nDeviceNum 0. A "DeviceNum" above 19 counts
  // as 19 and a missing one as 0.
  long LoadDefinitions();

  std::array<CReaderDefinition, kReaderCount> m_aReaders;
  uint8_t m_nDeviceNum = 0;  // records 0 to m_nDeviceNum - 1 are in use
  std::string m_strDefVersion;

 private:
  platform::IRegistry& m_registry;
};

// Whether test(const Cell&, const CSlotDefinition&) holds for a defined slot of the readers in
// use; the slots are tried in index order, up to the first for which it does.
template <typename Test>
bool AnyDefinedSlot(const CReaderDefinitions& definitions, Test test) {
  return FindCell(
      definitions.m_nDeviceNum,
      [&](int reader) { return static_cast<int>(definitions.m_aReaders[reader].m_nDriveNum); },
      [&](const Cell& cell) {
        return test(cell, definitions.m_aReaders[cell.reader].m_aSlots[cell.slot]);
      });
}

// Every defined slot of the readers in use, in index order, with its slot's definition:
// visit(const Cell&, const CSlotDefinition&).
template <typename Visit>
void ForEachDefinedSlot(const CReaderDefinitions& definitions, Visit visit) {
  AnyDefinedSlot(definitions, [&](const Cell& cell, const CSlotDefinition& slot) {
    visit(cell, slot);
    return false;
  });
}
