#include "common/slot_drive_assigner.h"

#include <vector>

#include "common/disk_enum.h"
#include "common/fixed_buffer_reads.h"
#include "common/mount_records.h"
#include "common/present_devices_9x.h"
#include "common/slot_id.h"
#include "platform/mbcs_text.h"
#include "platform/scoped_reg_key.h"

using platform::kErrorSuccess;
using platform::kHkeyLocalMachine;
using platform::kKeyAllAccess;
using platform::kKeyRead;
using platform::ScopedRegKey;

namespace {
// The 9x device key is only written through; NT-style registries refuse a set on a
// read-only handle, which 9x itself never checked.
constexpr uint32_t kDeviceKeyWriteAccess = kKeyRead | platform::kKeySetValue;

// The "\DosDevices\" values of the open mount key whose record contains matchText. The names
// are collected first and deleted afterwards, because a deletion during the enumeration would
// move the next value onto an index already passed.
std::vector<MountRecordHit> CollectSlotRecords(platform::IRegistry& registry,
                                               platform::ISystem& system,
                                               platform::RegKey mountKey,
                                               const std::string& matchText) {
  std::vector<MountRecordHit> hits;
  ForEachMatchingMountRecord(registry, system, mountKey, kWriterBufferSize, matchText,
                             [&](const MountRecordHit& hit) { hits.push_back(hit); });
  return hits;
}

void DeleteRecords(platform::IRegistry& registry, platform::RegKey mountKey,
                   const std::vector<MountRecordHit>& hits) {
  for (const MountRecordHit& hit : hits) registry.DeleteValue(mountKey, hit.valueName.c_str());
}

void WriteRecord(platform::IRegistry& registry, platform::RegKey mountKey, char letter,
                 const std::vector<uint8_t>& record) {
  registry.SetValue(mountKey, DosDevicesValueName(letter).c_str(), platform::kRegBinary,
                    record.data(), static_cast<uint32_t>(record.size()));
}
}  // namespace

CSlotDriveAssigner::~CSlotDriveAssigner() = default;

void CSlotDriveAssigner::AssignDrive(const std::string& slotId, char letter,
                                     const std::string& nameFilter) {
  // What a refresh's lookups read is no longer what the registry holds after this; the keys
  // the index holds open are closed before any is opened for writing.
  m_index.Clear();
  // Windows 95 gets the 9x record too, although no lookup runs there.
  if (IsFamily(kOsWin9x)) {
    AssignDrive9x(slotId, letter, nameFilter);
  } else if (IsFamily(kOsWinNT)) {
    if (IsVersion(kOsWinVista))
      AssignDriveVista(slotId, letter);
    else
      AssignDriveNt(slotId, letter, nameFilter);
  }
}

void CSlotDriveAssigner::AssignDriveNt(const std::string& slotId, char letter,
                                       const std::string& nameFilter) {
  ForEachMatchingDisk(
      m_registry, kWriterBufferSize, SplitSlotId(slotId), [&](const std::string& deviceId) {
        DiskNames names;
        if (!ReadDiskNames(m_registry, deviceId, kWriterBufferSize, names)) return;
        // Stricter than the lookup: a disk that does not say its name is not rewritten.
        if (!MbcsContains(names.friendlyName, nameFilter)) return;
        const std::string& prefix = names.parentIdPrefix;
        if (prefix.empty()) return;
        const std::string recordText = XpMountRecordText(prefix);
        // Encoded before anything is deleted: a record too long to write must not cost the
        // slot the letters it has.
        std::vector<uint8_t> record;
        if (!EncodeMountRecord(m_system, recordText, kWriterBufferSize, record)) return;
        ScopedRegKey mounts(m_registry);
        if (mounts.Open(kHkeyLocalMachine, kMountedDevicesKey, kKeyAllAccess) != kErrorSuccess)
          return;
        DeleteRecords(m_registry, mounts.Get(),
                      CollectSlotRecords(m_registry, m_system, mounts.Get(),
                                         MbcsUpper(recordText)));
        WriteRecord(m_registry, mounts.Get(), letter, record);
      });
}

void CSlotDriveAssigner::AssignDriveVista(const std::string& slotId, char letter) {
  const std::string matchText = VistaMountMatchText(slotId);
  ForEachMatchingDisk(
      m_registry, kWriterBufferSize, SplitSlotId(slotId), [&](const std::string&) {
        ScopedRegKey mounts(m_registry);
        if (mounts.Open(kHkeyLocalMachine, kMountedDevicesKey, kKeyAllAccess) != kErrorSuccess)
          return;
        std::vector<MountRecordHit> hits =
            CollectSlotRecords(m_registry, m_system, mounts.Get(), matchText);
        // Vista names the volume by the device's own instance path, which only an existing
        // record knows: without one there is nothing to move to the new letter.
        if (hits.empty()) return;
        std::vector<uint8_t> record;
        if (!EncodeMountRecord(m_system, hits.back().recordText, kWriterBufferSize, record))
          return;
        DeleteRecords(m_registry, mounts.Get(), hits);
        WriteRecord(m_registry, mounts.Get(), letter, record);
      });
}

void CSlotDriveAssigner::AssignDrive9x(const std::string& slotId, char letter,
                                       const std::string& nameFilter) {
  const std::string upperSlotId = MbcsUpper(slotId);
  // The first and the last letter of the range the device may take: both the new one.
  const uint8_t assignment[3] = {static_cast<uint8_t>(letter), static_cast<uint8_t>(letter), 0};
  ForEachPresentDevice(
      m_registry, kWriterBufferSize, kKeyAllAccess, [&](const std::string& hardwareKey) {
        // A devnode without a hardware key names no device: "Enum\" alone is the whole
        // hardware tree, which must not get a device's letter (an empty slot id matches it).
        if (hardwareKey.find_first_not_of('\\') == std::string::npos) return;
        if (!MbcsContains(MbcsUpper(hardwareKey), upperSlotId)) return;
        ScopedRegKey device(m_registry);
        if (device.Open(kHkeyLocalMachine, (kHardwareEnumKeyPrefix + hardwareKey).c_str(),
                        kDeviceKeyWriteAccess) != kErrorSuccess)
          return;
        if (!MbcsContains(ReadTextValue(m_registry, device.Get(), kProductIdValue,
                                        kWriterBufferSize),
                          nameFilter))
          return;
        m_registry.SetValue(device.Get(), kUserDriveLetterValue, platform::kRegSz, assignment,
                            sizeof assignment);
      });
}
