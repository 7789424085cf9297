#include "common/slot_drive_finder.h"

#include <cstring>

#include "common/disk_enum.h"
#include "common/fixed_buffer_reads.h"
#include "common/mount_records.h"
#include "common/present_devices_9x.h"
#include "common/slot_id.h"
#include "platform/mbcs_text.h"
#include "platform/scoped_reg_key.h"

using platform::kErrorSuccess;
using platform::kHkeyLocalMachine;
using platform::kKeyRead;
using platform::ScopedRegKey;

namespace {
// Only disks the 9x SCSI or ESDI enumerators report can be card-reader slots.
constexpr char kScsiEnumerator[] = "SCSI\\";
constexpr char kEsdiEnumerator[] = "ESDI\\";

void CopyTag(char (&field)[kOsTagSize], const char* tag) {
  std::strncpy(field, tag, kOsTagSize - 1);
  field[kOsTagSize - 1] = '\0';
}
}  // namespace

CSlotDriveFinder::CSlotDriveFinder(platform::IRegistry& registry, platform::ISystem& system)
    : m_registry(registry), m_system(system) {
  m_listDeviceIds.reserve(10);
  m_listDrives.reserve(10);
  Reset();
  std::memset(m_szOsFamily, 0, sizeof m_szOsFamily);
  std::memset(m_szOsVersion, 0, sizeof m_szOsVersion);
  DetectOsFamily();
  DetectOsVersion();
}

CSlotDriveFinder::~CSlotDriveFinder() = default;

void CSlotDriveFinder::DetectOsFamily() {
  CopyTag(m_szOsFamily, ClassifyOsFamily(m_system.GetVersionNumbers()));
}

void CSlotDriveFinder::DetectOsVersion() {
  CopyTag(m_szOsVersion, kOsOther);
  CopyTag(m_szOsVersion, ClassifyOsVersion(m_system.GetVersionNumbers()));
}

bool CSlotDriveFinder::IsFamily(const char* tag) const {
  return std::strcmp(m_szOsFamily, tag) == 0;
}

bool CSlotDriveFinder::IsVersion(const char* tag) const {
  return std::strcmp(m_szOsVersion, tag) == 0;
}

void CSlotDriveFinder::Reset() {
  m_listDeviceIds.clear();
  m_strStatus.clear();
  m_nDriveCount = 0;
  m_nLookupCount = 0;
  m_listDrives.clear();
  m_strParentIdPrefix.clear();
}

int CSlotDriveFinder::FindDrive(const std::string& slotId) {
  ++m_nLookupCount;
  // Windows 95 has no drive letters for USB storage worth finding: it never gets a lookup.
  if (IsFamily(kOsWin9x) && !IsVersion(kOsWin95)) return FindDrive9x(slotId, nullptr);
  // Vista keeps the XP-style lookup here; only the named lookup knows Vista's records.
  if (IsFamily(kOsWinNT)) return FindDriveNt(slotId, nullptr);
  return 0;
}

int CSlotDriveFinder::FindNamedDrive(const std::string& slotId, const std::string& nameFilter) {
  ++m_nLookupCount;
  if (IsFamily(kOsWin9x) && !IsVersion(kOsWin95)) return FindDrive9x(slotId, &nameFilter);
  if (IsFamily(kOsWinNT)) {
    if (IsVersion(kOsWinVista)) return FindDriveVista(slotId);
    return FindDriveNt(slotId, &nameFilter);
  }
  return 0;
}

void CSlotDriveFinder::ScanMountRecords(const std::string& matchText,
                                        const std::string& parentIdPrefix) {
  ScopedRegKey mounts(m_registry);
  if (mounts.Open(kHkeyLocalMachine, kMountedDevicesKey, kKeyRead) != kErrorSuccess) return;
  ForEachMatchingMountRecord(m_registry, m_system, mounts.Get(), kLookupBufferSize, matchText,
                             [&](const MountRecordHit& hit) {
                               char letter = 0;
                               if (!DriveLetterOfValueName(hit.valueName, letter)) return;
                               NoteDrive(std::string(1, letter));
                               m_strParentIdPrefix = parentIdPrefix;
                             });
}

void CSlotDriveFinder::NoteDrive(const std::string& letter) {
  m_listDrives.push_back(letter);
  m_strFoundDrive = letter;  // the last record found wins
}

int CSlotDriveFinder::FinishLookup() {
  m_nDriveCount = static_cast<int>(m_listDrives.size());
  return m_strFoundDrive != kNoDrive ? 1 : 0;
}

int CSlotDriveFinder::FindDriveNt(const std::string& slotId, const std::string* nameFilter) {
  m_strFoundDrive = kNoDrive;
  bool scanned = ForEachMatchingDisk(
      m_registry, kLookupBufferSize, SplitSlotId(slotId), [&](const std::string& deviceId) {
        m_listDeviceIds.push_back(deviceId);
        DiskNames names;
        if (!ReadDiskNames(m_registry, deviceId, kLookupBufferSize, names)) return;
        // A disk that does not say its name is given the benefit of the doubt.
        if (nameFilter != nullptr && !names.friendlyName.empty() &&
            !MbcsContains(names.friendlyName, *nameFilter))
          return;
        const std::string& prefix = names.parentIdPrefix;
        if (prefix.empty()) return;
        ScanMountRecords(XpMountLookupText(prefix), prefix);
      });
  return scanned ? FinishLookup() : 0;
}

int CSlotDriveFinder::FindDriveVista(const std::string& slotId) {
  m_strFoundDrive = kNoDrive;
  // The record names the USB storage device itself, so no per-device key is needed; every
  // matching disk repeats the same scan.
  const std::string matchText = VistaMountMatchText(slotId);
  bool scanned = ForEachMatchingDisk(
      m_registry, kLookupBufferSize, SplitSlotId(slotId), [&](const std::string& deviceId) {
        m_listDeviceIds.push_back(deviceId);
        // A Vista-style find leaves no parent id prefix behind.
        ScanMountRecords(matchText, std::string());
      });
  return scanned ? FinishLookup() : 0;
}

int CSlotDriveFinder::FindDrive9x(const std::string& slotId, const std::string* nameFilter) {
  m_strFoundDrive = kNoDrive;
  const SlotIdParts parts = SplitSlotId(MbcsUpper(slotId));
  std::string upperKey;  // one buffer for every device's upper-cased key
  bool scanned = ForEachPresentDevice(
      m_registry, kLookupBufferSize, kKeyRead, [&](const std::string& hardwareKey) {
        upperKey.assign(hardwareKey);
        MbcsUpperInPlace(upperKey);
        if (!MbcsContains(upperKey, kScsiEnumerator) && !MbcsContains(upperKey, kEsdiEnumerator))
          return;
        if (!ContainsSlotIdParts(upperKey, parts)) return;
        m_listDeviceIds.push_back(upperKey);
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
