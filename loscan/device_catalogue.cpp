#include "loscan/device_catalogue.h"

#include <cstring>

#include "common/os_tags.h"
#include "common/reader_catalogue.h"

namespace {

void Append(std::string (&list)[kMaxModelIds], uint8_t& count, const std::string& id) {
  if (count < kMaxModelIds) list[count++] = id;
}

DeviceModel ModelOf(const ReaderProduct& reader, bool windowsMe) {
  DeviceModel model;
  model.nSlots = static_cast<uint8_t>(reader.slotCount);
  model.nLookupMode =
      reader.lookupMode == ReaderLookupMode::kFiltered ? kLookupFiltered : kLookupPlain;
  model.strName = reader.modelName;
  const int slots = reader.slotCount;
  // First group, then the second group, each in slot order.
  for (int s = 0; s < slots; ++s) Append(model.aPrimaryIds, model.nPrimaryIds, reader.slots[s].primaryIds[0]);
  if (reader.secondIdGroup != SecondIdGroup::kNone)
    for (int s = 0; s < slots; ++s)
      Append(model.aPrimaryIds, model.nPrimaryIds, reader.slots[s].primaryIds[1]);
  for (int s = 0; s < slots; ++s) {
    const ReaderSlot& slot = reader.slots[s];
    const bool meForm = windowsMe && !slot.secondaryIdMe.empty();
    Append(model.aSecondaryIds, model.nSecondaryIds,
           meForm ? slot.secondaryIdMe : slot.secondaryIds[0]);
  }
  if (reader.secondaryHasTwoGroups)
    for (int s = 0; s < slots; ++s)
      Append(model.aSecondaryIds, model.nSecondaryIds, reader.slots[s].secondaryIds[1]);
  for (int s = 0; s < slots && s < kMaxModelIds; ++s) {
    model.aPrimaryFilters[s] = reader.primaryFilter;
    model.aSecondaryFilters[s] = reader.secondaryFilter;
  }
  for (int s = 0; s < slots && s < kSlotRows; ++s) model.aSlotLabels[s] = reader.slots[s].label;
  return model;
}

}  // namespace

void BuildDeviceCatalogue(DeviceModel (&models)[kModelCount], const char* osVersion) {
  const bool windowsMe = osVersion != nullptr && std::strcmp(osVersion, kOsWinMe) == 0;
  const std::vector<ReaderProduct> readers = ReaderCatalogue();
  for (int i = 0; i < kModelCount; ++i)
    models[i] = i < static_cast<int>(readers.size()) ? ModelOf(readers[i], windowsMe) : DeviceModel();
}

int FindModelIn(const DeviceModel (&models)[kModelCount], const std::string& name) {
  for (int i = 0; i < kModelCount; ++i)
    if (models[i].strName == name) return i;
  return -1;
}
