#include "tavrik/definition_image.h"

#include "platform/owners/scoped_reg_key.h"
#include "tavrik/reader_definition.h"
#include "tavrik/search_key_list.h"

using platform::kErrorSuccess;
using platform::ScopedRegKey;

namespace {

// Collects registry writes under one key and keeps the first failure.
class KeyWriter {
 public:
  KeyWriter(platform::IRegistry& registry, const std::string& path) : m_key(registry) {
    m_status = m_key.Create(platform::kHkeyLocalMachine, path.c_str(), platform::kKeyAllAccess);
  }
  void Number(const char* name, uint32_t value) {
    const uint8_t data[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                             static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    Set(name, platform::kRegDword, data, sizeof data);
  }
  void Text(const char* name, const std::string& text) {
    Set(name, platform::kRegSz, reinterpret_cast<const uint8_t*>(text.c_str()),
        static_cast<uint32_t>(text.size() + 1));
  }
  long Status() const { return m_status; }

 private:
  void Set(const char* name, uint32_t type, const uint8_t* data, uint32_t bytes) {
    if (m_status == kErrorSuccess)
      m_status = m_key.Registry().SetValue(m_key.Get(), name, type, data, bytes);
  }

  ScopedRegKey m_key;
  long m_status;
};

long WriteSlot(platform::IRegistry& registry, const std::string& readerPath, int index,
               const ReaderSlot& slot, const std::string& iconFolder) {
  const std::string slotPath = readerPath + "\\DriveItems\\Drive" + std::to_string(index);
  KeyWriter items(registry, slotPath);
  items.Text("DriveFunc", slot.driveFunc);
  items.Text("DriveFuncs", slot.driveFuncs);
  items.Text("IconPath", iconFolder + "\\" + slot.iconFile);
  if (items.Status() != kErrorSuccess) return items.Status();

  const std::vector<std::string> keys = SlotSearchKeys(slot);
  KeyWriter search(registry, slotPath + "\\SearchRegKey");
  search.Number("Count", static_cast<uint32_t>(keys.size()));
  for (size_t j = 0; j < keys.size(); ++j) search.Text(std::to_string(j).c_str(), keys[j]);
  return search.Status();
}

long WriteReader(platform::IRegistry& registry, const ReaderProduct& reader,
                 const std::string& iconFolder) {
  const std::string path = std::string(kDefinitionsKey) + "\\" + reader.registryKey;
  {
    KeyWriter model(registry, path);
    model.Number("VID", reader.vid);
    model.Number("PID", reader.pid);
    model.Number("DriveNum", static_cast<uint32_t>(reader.slotCount));
    model.Text("FriendlyName", ReaderNameFilter(reader));
    model.Text("Memo", reader.memo);
    if (model.Status() != kErrorSuccess) return model.Status();
  }
  for (int s = 0; s < reader.slotCount && s < kMaxReaderSlots; ++s) {
    const long status = WriteSlot(registry, path, s, reader.slots[s], iconFolder);
    if (status != kErrorSuccess) return status;
  }
  return kErrorSuccess;
}

}  // namespace

std::vector<std::string> SlotSearchKeys(const ReaderSlot& slot) {
  std::vector<std::string> keys;
  for (const std::string* id : {&slot.primaryIds[0], &slot.primaryIds[1], &slot.secondaryIds[0],
                                &slot.secondaryIds[1], &slot.secondaryIdMe}) {
    if (!id->empty() && keys.size() < static_cast<size_t>(kMaxSearchKeys)) keys.push_back(*id);
  }
  return keys;
}

std::string ReaderNameFilter(const ReaderProduct& reader) {
  return reader.lookupMode == ReaderLookupMode::kFiltered ? reader.primaryFilter : std::string();
}

long WriteDefinitionImage(platform::IRegistry& registry, const std::string& iconFolder,
                          const std::string& version) {
  const std::vector<ReaderProduct> catalogue = ReaderCatalogue();
  {
    KeyWriter root(registry, kDefinitionsKey);
    root.Number("DeviceNum", static_cast<uint32_t>(catalogue.size()));
    root.Text("Version", version);
    if (root.Status() != kErrorSuccess) return root.Status();
  }
  for (const ReaderProduct& reader : catalogue) {
    const long status = WriteReader(registry, reader, iconFolder);
    if (status != kErrorSuccess) return status;
  }
  return kErrorSuccess;
}
