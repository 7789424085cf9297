// What the drive lookups read from the registry, read once and kept while the finder is told a
// refresh is running: the NT family's disk list with the names of its disks' device keys and
// the drive-letter mount records; the 9x family's present devnodes with their hardware keys and
// the letters of their device keys. Every part is read the first time a lookup needs it, with
// the calls and buffer sizes a lookup makes, so a refresh reads nothing a lookup would not have
// read, and each key and value once.
//
// The registry must not change while the index is kept: the finder drops it when it writes,
// and every refresh starts afresh.
#pragma once
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/disk_enum.h"
#include "common/mount_record_index.h"
#include "common/slot_id.h"
#include "common/trigram_filter.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/registry.h"
#include "platform/system.h"

class DriveLookupIndex {
 public:
  DriveLookupIndex(platform::IRegistry& registry, platform::ISystem& system, uint32_t bufferSize)
      : m_registry(registry), m_system(system), m_bufferSize(bufferSize) {}
  ~DriveLookupIndex();
  DriveLookupIndex(const DriveLookupIndex&) = delete;
  DriveLookupIndex& operator=(const DriveLookupIndex&) = delete;

  // Forgets everything read and closes the keys it still holds.
  void Clear();

  // --- NT family ---
  // False when the disk list ("Services\Disk\Enum") cannot be opened.
  bool ReadDisks();
  // The disks whose instance id contains both parts, in the list's order.
  void MatchingDisks(const SlotIdParts& parts, std::vector<uint32_t>& disks);
  const std::string& InstanceId(uint32_t disk) const { return m_disks[disk].instanceId; }
  // The names in the disk's device key; null when the key cannot be opened.
  const DiskNames* NamesOf(uint32_t disk);
  // The mount records whose upper-cased text contains matchText (upper case), in the mount
  // key's order; none when it cannot be opened.
  const std::vector<uint32_t>& MountRecordsContaining(const std::string& matchText);
  // The XP-style records of a disk's ParentIdPrefix (the same for every search key that finds
  // the disk).
  const std::vector<uint32_t>& XpRecordsOf(uint32_t disk);
  char RecordLetter(uint32_t record) const { return m_mounts.Letter(record); }

  // --- 9x family ---
  // False when the configuration manager's list ("Config Manager\Enum") cannot be opened.
  bool ReadDevnodes();
  // The devnodes enumerated by the SCSI or ESDI enumerator whose upper-cased hardware key
  // contains both parts (upper case), in the list's order.
  void MatchingDevnodes(const SlotIdParts& upperParts, std::vector<uint32_t>& devnodes);
  const std::string& UpperHardwareKey(uint32_t devnode) const {
    return m_devnodes[devnode].upperKey;
  }
  // Whether the devnode's device key (HKLM "Enum\" + its hardware key) opens.
  bool DeviceKeyOpens(uint32_t devnode);
  // Its "ProductId" and "CurrentDriveLetterAssignment"; empty when missing or unreadable.
  // Only for a devnode whose device key opens.
  const std::string& ProductId(uint32_t devnode);
  const std::string& CurrentDriveLetter(uint32_t devnode);

 private:
  enum class Read { kNot, kFailed, kDone };

  struct DiskKey {
    bool opens = false;
    DiskNames names;
    bool xpRecordsFound = false;
    std::vector<uint32_t> xpRecords;
  };
  struct Disk {
    std::string instanceId;
    DiskKey* key = nullptr;  // once asked for
  };
  struct DeviceValueRead {
    bool read = false;
    std::string text;
  };
  struct DeviceKey {
    explicit DeviceKey(platform::IRegistry& registry) : key(registry) {}
    bool opens = false;
    platform::ScopedRegKey key;
    DeviceValueRead productId;
    DeviceValueRead letter;
  };
  struct Devnode {
    std::string hardwareKey;  // as read: the device key's path
    std::string upperKey;
    DeviceKey* key = nullptr;  // once asked for
  };

  DiskKey& KeyOf(uint32_t disk);
  DeviceKey& KeyOfDevnode(uint32_t devnode);
  // A value of the devnode's device key, read the first time it is asked for.
  const std::string& DeviceValue(uint32_t devnode, const char* name,
                                 DeviceValueRead DeviceKey::*read);
  void ReadMounts();
  // The entries whose text holds both parts, in order.
  template <typename Entry>
  void FindMatching(const std::vector<Entry>& entries, const std::string Entry::*text,
                    const TrigramFilter& filter, const SlotIdParts& parts,
                    std::vector<uint32_t>& found);

  platform::IRegistry& m_registry;
  platform::ISystem& m_system;
  uint32_t m_bufferSize;
  std::vector<uint32_t> m_candidates;  // reused from search key to search key

  Read m_disksRead = Read::kNot;
  std::vector<Disk> m_disks;
  TrigramFilter m_diskFilter;
  // Disks listed twice share one key: it is opened and read once.
  std::unordered_map<std::string, DiskKey> m_diskKeys;
  Read m_mountsRead = Read::kNot;
  MountRecordIndex m_mounts;
  std::vector<uint32_t> m_found;  // the last answer of MountRecordsContaining

  Read m_devnodesRead = Read::kNot;
  std::vector<Devnode> m_devnodes;
  TrigramFilter m_devnodeFilter;
  // Devnodes naming the same hardware key share its device key.
  std::unordered_map<std::string, DeviceKey> m_deviceKeys;
};
