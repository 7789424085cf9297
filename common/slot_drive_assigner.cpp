#include "common/slot_drive_assigner.h"

#include <vector>

#include "common/disk_enum.h"
#include "common/fixed_buffer_reads.h"
#include "common/mount_records.h"
#include "common/present_devices_9x.h"
#include "common/slot_id.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/text/mbcs_text.h"

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

// Whether a value that read as empty holds text after all: the read failed rather than found
// nothing. (An empty string or a missing value is a disk that says nothing.)
bool HoldsUnreadText(platform::IRegistry& registry, const std::string& deviceId,
                     const char* name) {
  ScopedRegKey device(registry);
  const std::string path = kDeviceEnumKeyPrefix + deviceId;
  long status = device.Open(kHkeyLocalMachine, path.c_str(), kKeyRead);
  uint32_t size = 0;
  if (status == kErrorSuccess)
    status = registry.QueryValue(device.Get(), name, nullptr, nullptr, &size);
  if (platform::IsAbsentStatus(status)) return false;
  return status != kErrorSuccess || size > 1;
}

}  // namespace

CSlotDriveAssigner::~CSlotDriveAssigner() = default;

void CSlotDriveAssigner::Check(long status, bool absentIsFine) {
  if (status != kErrorSuccess && !(absentIsFine && platform::IsAbsentStatus(status)))
    m_bWriteFailed = true;
}

void CSlotDriveAssigner::ReplaceRecords(platform::RegKey mounts,
                                        const std::vector<MountRecordHit>& hits,
                                        const std::string& matchText, char letter,
                                        const std::vector<uint8_t>& record) {
  const std::string newName = DosDevicesValueName(letter);
  for (const MountRecordHit& hit : hits)
    Check(m_registry.DeleteValue(mounts, hit.valueName.c_str()), true);
  const long written = m_registry.SetValue(mounts, newName.c_str(), platform::kRegBinary,
                                           record.data(), static_cast<uint32_t>(record.size()));
  Check(written);
  if (written == kErrorSuccess) ++m_nWrites;
  // A record left behind (its enumeration failed halfway) would give the slot two letters.
  const std::vector<MountRecordHit> left =
      CollectSlotRecords(m_registry, m_system, mounts, matchText);
  if (left.size() != 1 || MbcsUpper(left[0].valueName) != MbcsUpper(newName))
    m_bWriteFailed = true;
}

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
        if (!ReadDiskNames(m_registry, deviceId, kWriterBufferSize, names)) {
          if (HoldsUnreadText(m_registry, deviceId, "FriendlyName")) m_bWriteFailed = true;
          return;
        }
        // Stricter than the lookup: a disk that does not say its name is not rewritten. One
        // whose name could not be read is a failure, not another reader.
        if (names.friendlyName.empty() && HoldsUnreadText(m_registry, deviceId, "FriendlyName"))
          m_bWriteFailed = true;
        if (!MbcsContains(names.friendlyName, nameFilter)) return;
        const std::string& prefix = names.parentIdPrefix;
        if (prefix.empty()) {
          if (HoldsUnreadText(m_registry, deviceId, "ParentIdPrefix")) m_bWriteFailed = true;
          return;
        }
        const std::string recordText = XpMountRecordText(prefix);
        // Encoded before anything is deleted: a record too long to write must not cost the
        // slot the letters it has.
        std::vector<uint8_t> record;
        if (!EncodeMountRecord(m_system, recordText, kWriterBufferSize, record)) return;
        ScopedRegKey mounts(m_registry);
        const long opened = mounts.Open(kHkeyLocalMachine, kMountedDevicesKey, kKeyAllAccess);
        Check(opened);
        if (opened != kErrorSuccess) return;
        const std::string matchText = MbcsUpper(recordText);
        ReplaceRecords(mounts.Get(),
                       CollectSlotRecords(m_registry, m_system, mounts.Get(), matchText),
                       matchText, letter, record);
      });
}

void CSlotDriveAssigner::AssignDriveVista(const std::string& slotId, char letter) {
  const std::string matchText = VistaMountMatchText(slotId);
  ForEachMatchingDisk(
      m_registry, kWriterBufferSize, SplitSlotId(slotId), [&](const std::string&) {
        ScopedRegKey mounts(m_registry);
        const long opened = mounts.Open(kHkeyLocalMachine, kMountedDevicesKey, kKeyAllAccess);
        Check(opened);
        if (opened != kErrorSuccess) return;
        std::vector<MountRecordHit> hits =
            CollectSlotRecords(m_registry, m_system, mounts.Get(), matchText);
        // Vista names the volume by the device's own instance path, which only an existing
        // record knows: without one there is nothing to move to the new letter.
        if (hits.empty()) return;
        std::vector<uint8_t> record;
        if (!EncodeMountRecord(m_system, hits.back().recordText, kWriterBufferSize, record))
          return;
        ReplaceRecords(mounts.Get(), hits, matchText, letter, record);
      });
}

void CSlotDriveAssigner::AssignDrive9x(const std::string& slotId, char letter,
                                       const std::string& nameFilter) {
  const std::string upperSlotId = MbcsUpper(slotId);
  // The first and the last letter of the range the device may take: both the new one.
  const uint8_t assignment[3] = {static_cast<uint8_t>(letter), static_cast<uint8_t>(letter), 0};
  bool refused = false;
  const bool scanned = ForEachPresentDevice(
      m_registry, kWriterBufferSize, kKeyAllAccess, [&](const std::string& hardwareKey) {
        // A devnode without a hardware key names no device: "Enum\" alone is the whole
        // hardware tree, which must not get a device's letter (an empty slot id matches it).
        if (hardwareKey.find_first_not_of('\\') == std::string::npos) return;
        if (!MbcsContains(MbcsUpper(hardwareKey), upperSlotId)) return;
        ScopedRegKey device(m_registry);
        const std::string path = kHardwareEnumKeyPrefix + hardwareKey;
        const long opened = device.Open(kHkeyLocalMachine, path.c_str(), kDeviceKeyWriteAccess);
        Check(opened, true);
        if (opened != kErrorSuccess) return;
        if (!MbcsContains(ReadTextValue(m_registry, device.Get(), kProductIdValue,
                                        kWriterBufferSize),
                          nameFilter))
          return;
        const long written = m_registry.SetValue(device.Get(), kUserDriveLetterValue,
                                                 platform::kRegSz, assignment, sizeof assignment);
        Check(written);
        if (written == kErrorSuccess) ++m_nWrites;
      },
      &refused);
  // Without a configuration manager there is no device to write to; a devnode that would not
  // open may have been the slot's.
  if (scanned && refused) m_bWriteFailed = true;
}
