#include "test_reference_lookups.h"

#include "common/disk_enum.h"
#include "common/fixed_buffer_reads.h"
#include "common/mount_records.h"
#include "common/present_devices_9x.h"
#include "common/slot_id.h"
#include "platform/owners/scoped_reg_key.h"
#include "platform/text/mbcs_text.h"

using platform::kErrorSuccess;
using platform::kHkeyLocalMachine;
using platform::kKeyRead;
using platform::ScopedRegKey;

namespace {
constexpr char kScsiEnumerator[] = "SCSI\\";
constexpr char kEsdiEnumerator[] = "ESDI\\";
}  // namespace

int ReferenceLookups::FindDrive(const std::string& slotId) {
  ++m_state.m_nLookupCount;
  if (m_state.IsFamily(kOsWin9x) && !m_state.IsVersion(kOsWin95))
    return FindDrive9x(slotId, nullptr);
  if (m_state.IsFamily(kOsWinNT)) return FindDriveNt(slotId, nullptr);
  return 0;
}

int ReferenceLookups::FindNamedDrive(const std::string& slotId, const std::string& nameFilter) {
  ++m_state.m_nLookupCount;
  if (m_state.IsFamily(kOsWin9x) && !m_state.IsVersion(kOsWin95))
    return FindDrive9x(slotId, &nameFilter);
  if (m_state.IsFamily(kOsWinNT)) {
    if (m_state.IsVersion(kOsWinVista)) return FindDriveVista(slotId);
    return FindDriveNt(slotId, &nameFilter);
  }
  return 0;
}

void ReferenceLookups::ScanMountRecords(const std::string& matchText,
                                        const std::string& parentIdPrefix) {
  ScopedRegKey mounts(m_registry);
  if (mounts.Open(kHkeyLocalMachine, kMountedDevicesKey, kKeyRead) != kErrorSuccess) return;
  ForEachMatchingMountRecord(m_registry, m_system, mounts.Get(), kLookupBufferSize, matchText,
                             [&](const MountRecordHit& hit) {
                               char letter = 0;
                               if (!DriveLetterOfValueName(hit.valueName, letter)) return;
                               NoteDrive(std::string(1, letter));
                               m_state.m_strParentIdPrefix = parentIdPrefix;
                             });
}

void ReferenceLookups::NoteDrive(const std::string& letter) {
  m_state.m_listDrives.push_back(letter);
  m_state.m_strFoundDrive = letter;
}

int ReferenceLookups::FinishLookup() {
  m_state.m_nDriveCount = static_cast<int>(m_state.m_listDrives.size());
  return m_state.m_strFoundDrive != kNoDrive ? 1 : 0;
}

int ReferenceLookups::FindDriveNt(const std::string& slotId, const std::string* nameFilter) {
  m_state.m_strFoundDrive = kNoDrive;
  bool scanned = ForEachMatchingDisk(
      m_registry, kLookupBufferSize, SplitSlotId(slotId), [&](const std::string& deviceId) {
        m_state.m_listDeviceIds.push_back(deviceId);
        DiskNames names;
        if (!ReadDiskNames(m_registry, deviceId, kLookupBufferSize, names)) return;
        if (nameFilter != nullptr && !names.friendlyName.empty() &&
            !MbcsContains(names.friendlyName, *nameFilter))
          return;
        const std::string& prefix = names.parentIdPrefix;
        if (prefix.empty()) return;
        ScanMountRecords(XpMountLookupText(prefix), prefix);
      });
  return scanned ? FinishLookup() : 0;
}

int ReferenceLookups::FindDriveVista(const std::string& slotId) {
  m_state.m_strFoundDrive = kNoDrive;
  const std::string matchText = VistaMountMatchText(slotId);
  bool scanned = ForEachMatchingDisk(
      m_registry, kLookupBufferSize, SplitSlotId(slotId), [&](const std::string& deviceId) {
        m_state.m_listDeviceIds.push_back(deviceId);
        ScanMountRecords(matchText, std::string());
      });
  return scanned ? FinishLookup() : 0;
}

int ReferenceLookups::FindDrive9x(const std::string& slotId, const std::string* nameFilter) {
  m_state.m_strFoundDrive = kNoDrive;
  const SlotIdParts parts = SplitSlotId(MbcsUpper(slotId));
  std::string upperKey;
  bool scanned = ForEachPresentDevice(
      m_registry, kLookupBufferSize, kKeyRead, [&](const std::string& hardwareKey) {
        upperKey.assign(hardwareKey);
        MbcsUpperInPlace(upperKey);
        if (!MbcsContains(upperKey, kScsiEnumerator) && !MbcsContains(upperKey, kEsdiEnumerator))
          return;
        if (!ContainsSlotIdParts(upperKey, parts)) return;
        m_state.m_listDeviceIds.push_back(upperKey);
        ScopedRegKey device(m_registry);
        if (device.Open(kHkeyLocalMachine, (kHardwareEnumKeyPrefix + hardwareKey).c_str(),
                        kKeyRead) != kErrorSuccess)
          return;
        if (nameFilter != nullptr &&
            !MbcsContains(ReadTextValue(m_registry, device.Get(), kProductIdValue,
                                        kLookupBufferSize),
                          *nameFilter))
          return;
        std::string letter = ReadTextValue(m_registry, device.Get(), kCurrentDriveLetterValue,
                                           kLookupBufferSize);
        if (letter.size() == 1) NoteDrive(letter);
      });
  return scanned ? FinishLookup() : 0;
}
