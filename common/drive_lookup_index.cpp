#include "common/drive_lookup_index.h"

#include "common/fixed_buffer_reads.h"
#include "common/mount_records.h"
#include "common/present_devices_9x.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/text/mbcs_text.h"

namespace {
// Only disks the 9x SCSI or ESDI enumerators report can be card-reader slots.
constexpr char kScsiEnumerator[] = "SCSI\\";
constexpr char kEsdiEnumerator[] = "ESDI\\";

// Files the entries' texts in a filter.
template <typename Entry>
void BuildFilter(const std::vector<Entry>& entries, const std::string Entry::*text,
                 TrigramFilter& filter) {
  std::vector<std::string_view> texts;
  texts.reserve(entries.size());
  for (const Entry& entry : entries) texts.push_back(entry.*text);
  filter.Build(texts);
}

// The state of the key an entry names, shared by every entry naming the same key: made by
// read the first time it is asked for.
template <typename Key, typename ReadKey, typename... KeyArgs>
Key& SharedKey(std::unordered_map<std::string, Key>& keys, const std::string& name, Key*& known,
               ReadKey read, KeyArgs&... keyArgs) {
  if (known == nullptr) {
    auto inserted = keys.try_emplace(name, keyArgs...);
    if (inserted.second) read(inserted.first->second);
    known = &inserted.first->second;
  }
  return *known;
}
}  // namespace

DriveLookupIndex::~DriveLookupIndex() { Clear(); }

void DriveLookupIndex::Clear() {
  m_disksRead = Read::kNot;
  m_disks.clear();
  m_diskKeys.clear();
  m_mountsRead = Read::kNot;
  m_mounts.Clear();
  m_devnodesRead = Read::kNot;
  m_devnodes.clear();
  m_deviceKeys.clear();  // closes the device keys held open
}

template <typename Entry>
void DriveLookupIndex::FindMatching(const std::vector<Entry>& entries,
                                    const std::string Entry::*text, const TrigramFilter& filter,
                                    const SlotIdParts& parts, std::vector<uint32_t>& found) {
  filter.Candidates(parts.head, parts.tail, m_candidates);
  for (uint32_t i : m_candidates)
    if (ContainsSlotIdParts(entries[i].*text, parts)) found.push_back(i);
}

// --- NT family ---

bool DriveLookupIndex::ReadDisks() {
  if (m_disksRead == Read::kNot) {
    platform::ScopedRegKey services(m_registry);
    if (services.Open(platform::kHkeyLocalMachine, kDiskEnumKey, platform::kKeyRead) !=
        platform::kErrorSuccess) {
      m_disksRead = Read::kFailed;
      return false;
    }
    ForEachValue(m_registry, services.Get(), m_bufferSize, [&](const EnumeratedValue& value) {
      // Every value is read as text whatever its type: a count's bytes simply fail to match.
      Disk disk;
      disk.instanceId = std::string(TextViewOfValueData(value.data, value.dataBytes));
      m_disks.push_back(std::move(disk));
    });
    BuildFilter(m_disks, &Disk::instanceId, m_diskFilter);
    m_disksRead = Read::kDone;
  }
  return m_disksRead == Read::kDone;
}

void DriveLookupIndex::MatchingDisks(const SlotIdParts& parts, std::vector<uint32_t>& disks) {
  disks.clear();
  if (ReadDisks()) FindMatching(m_disks, &Disk::instanceId, m_diskFilter, parts, disks);
}

DriveLookupIndex::DiskKey& DriveLookupIndex::KeyOf(uint32_t disk) {
  Disk& entry = m_disks[disk];
  return SharedKey(m_diskKeys, entry.instanceId, entry.key, [&](DiskKey& key) {
    key.opens = ReadDiskNames(m_registry, entry.instanceId, m_bufferSize, key.names);
  });
}

const DiskNames* DriveLookupIndex::NamesOf(uint32_t disk) {
  const DiskKey& key = KeyOf(disk);
  return key.opens ? &key.names : nullptr;
}

void DriveLookupIndex::ReadMounts() {
  if (m_mountsRead != Read::kNot) return;
  m_mountsRead = m_mounts.Load(m_registry, m_system, m_bufferSize) ? Read::kDone : Read::kFailed;
}

const std::vector<uint32_t>& DriveLookupIndex::MountRecordsContaining(
    const std::string& matchText) {
  ReadMounts();
  m_mounts.FindContaining(matchText, m_found);
  return m_found;
}

const std::vector<uint32_t>& DriveLookupIndex::XpRecordsOf(uint32_t disk) {
  DiskKey& key = KeyOf(disk);
  if (!key.xpRecordsFound) {
    ReadMounts();
    m_mounts.FindContaining(XpMountLookupText(key.names.parentIdPrefix), key.xpRecords);
    key.xpRecordsFound = true;
  }
  return key.xpRecords;
}

// --- 9x family ---

bool DriveLookupIndex::ReadDevnodes() {
  if (m_devnodesRead == Read::kNot) {
    const bool listed = ForEachPresentDevice(
        m_registry, m_bufferSize, platform::kKeyRead, [&](const std::string& hardwareKey) {
          Devnode devnode;
          devnode.upperKey = hardwareKey;
          MbcsUpperInPlace(devnode.upperKey);
          if (!MbcsContains(devnode.upperKey, kScsiEnumerator) &&
              !MbcsContains(devnode.upperKey, kEsdiEnumerator))
            return;
          devnode.hardwareKey = hardwareKey;
          m_devnodes.push_back(std::move(devnode));
        });
    BuildFilter(m_devnodes, &Devnode::upperKey, m_devnodeFilter);
    m_devnodesRead = listed ? Read::kDone : Read::kFailed;
  }
  return m_devnodesRead == Read::kDone;
}

void DriveLookupIndex::MatchingDevnodes(const SlotIdParts& upperParts,
                                        std::vector<uint32_t>& devnodes) {
  devnodes.clear();
  if (ReadDevnodes())
    FindMatching(m_devnodes, &Devnode::upperKey, m_devnodeFilter, upperParts, devnodes);
}

DriveLookupIndex::DeviceKey& DriveLookupIndex::KeyOfDevnode(uint32_t devnode) {
  Devnode& entry = m_devnodes[devnode];
  // Held open until the index is cleared: a later search key may want another value of it.
  return SharedKey(
      m_deviceKeys, entry.hardwareKey, entry.key,
      [&](DeviceKey& device) {
        device.opens = device.key.Open(platform::kHkeyLocalMachine,
                                       (kHardwareEnumKeyPrefix + entry.hardwareKey).c_str(),
                                       platform::kKeyRead) == platform::kErrorSuccess;
      },
      m_registry);
}

bool DriveLookupIndex::DeviceKeyOpens(uint32_t devnode) { return KeyOfDevnode(devnode).opens; }

const std::string& DriveLookupIndex::DeviceValue(uint32_t devnode, const char* name,
                                                 DeviceValueRead DeviceKey::*read) {
  DeviceKey& device = KeyOfDevnode(devnode);
  DeviceValueRead& value = device.*read;
  if (!value.read) {
    value.text = ReadTextValue(m_registry, device.key.Get(), name, m_bufferSize);
    value.read = true;
  }
  return value.text;
}

const std::string& DriveLookupIndex::ProductId(uint32_t devnode) {
  return DeviceValue(devnode, kProductIdValue, &DeviceKey::productId);
}

const std::string& DriveLookupIndex::CurrentDriveLetter(uint32_t devnode) {
  return DeviceValue(devnode, kCurrentDriveLetterValue, &DeviceKey::letter);
}
