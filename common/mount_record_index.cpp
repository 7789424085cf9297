#include "common/mount_record_index.h"

#include <algorithm>

#include "common/fixed_buffer_reads.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/text/mbcs_text.h"

bool MountRecordIndex::Load(platform::IRegistry& registry, platform::ISystem& system,
                            uint32_t bufferSize) {
  Clear();
  platform::ScopedRegKey mounts(registry);
  if (mounts.Open(platform::kHkeyLocalMachine, kMountedDevicesKey, platform::kKeyRead) !=
      platform::kErrorSuccess)
    return false;
  std::string text;
  std::string name;
  ForEachValue(registry, mounts.Get(), bufferSize, [&](const EnumeratedValue& value) {
    // Volume GUID records ("\??\Volume{...}") share the key; only drive letters count.
    if (!MbcsContains(value.name, kDosDevicesPrefix)) return;
    char letter = 0;
    name.assign(value.name);
    if (!DriveLetterOfValueName(name, letter)) return;
    if (!DecodeMountRecord(system, value.data, value.dataBytes, bufferSize, text)) return;
    MbcsUpperInPlace(text);
    m_records.push_back(Record{text, letter});
  });
  // The records are all in place now: the files may point into their texts.
  for (HeadFile& file : m_files) FileUnder(file);
  return true;
}

void MountRecordIndex::Clear() {
  m_records.clear();
  for (HeadFile& file : m_files) file.byTail.clear();
}

void MountRecordIndex::FileUnder(HeadFile& file) {
  for (uint32_t r = 0; r < m_records.size(); ++r) {
    const std::string_view text = m_records[r].upperText;
    // Every place the head starts a character, overlapping ones too, as a match could.
    for (size_t at = MbcsFind(text, file.head); at != std::string::npos;
         at = MbcsFind(text, file.head, at + 1))
      file.byTail.push_back(HeadTail{text.substr(at + file.head.size()), r});
  }
  std::sort(file.byTail.begin(), file.byTail.end(), [](const HeadTail& a, const HeadTail& b) {
    return a.tail != b.tail ? a.tail < b.tail : a.record < b.record;
  });
}

void MountRecordIndex::FindContaining(const std::string& matchText,
                                      std::vector<uint32_t>& records) const {
  records.clear();
  const std::string_view match = matchText;
  for (const HeadFile& file : m_files) {
    if (match.substr(0, file.head.size()) != file.head) continue;
    // Contained at a character boundary = a head there with the rest of the text after it.
    const std::string_view tail = match.substr(file.head.size());
    auto it =
        std::lower_bound(file.byTail.begin(), file.byTail.end(), tail,
                         [](const HeadTail& entry, std::string_view t) { return entry.tail < t; });
    for (; it != file.byTail.end() && it->tail.substr(0, tail.size()) == tail; ++it)
      records.push_back(it->record);
    // A record holding the text twice counts once, in the key's order.
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    return;
  }
  // Any other text: every record tested.
  for (uint32_t r = 0; r < m_records.size(); ++r)
    if (MbcsContains(m_records[r].upperText, match)) records.push_back(r);
}
