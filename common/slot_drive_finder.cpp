#include "common/slot_drive_finder.h"

#include <cstring>

#include "common/fixed_buffer_reads.h"
#include "common/mount_records.h"
#include "common/slot_id.h"
#include "platform/text/mbcs_text.h"

namespace {
void CopyTag(char (&field)[kOsTagSize], const char* tag) {
  std::strncpy(field, tag, kOsTagSize - 1);
  field[kOsTagSize - 1] = '\0';
}
}  // namespace

CSlotDriveFinder::CSlotDriveFinder(platform::IRegistry& registry, platform::ISystem& system)
    : m_registry(registry), m_system(system), m_index(registry, system, kLookupBufferSize) {
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

void CSlotDriveFinder::BeginRefresh() { ++m_nRefreshDepth; }

void CSlotDriveFinder::EndRefresh() {
  if (m_nRefreshDepth == 0) return;
  // The next refresh reads afresh: a replug is what makes a refresh.
  if (--m_nRefreshDepth == 0) m_index.Clear();
}

int CSlotDriveFinder::EndLookup(int result) {
  if (m_nRefreshDepth == 0) m_index.Clear();
  return result;
}

int CSlotDriveFinder::FindDrive(const std::string& slotId) {
  ++m_nLookupCount;
  // Windows 95 has no drive letters for USB storage worth finding: it never gets a lookup.
  if (IsFamily(kOsWin9x) && !IsVersion(kOsWin95)) return EndLookup(FindDrive9x(slotId, nullptr));
  // Vista keeps the XP-style lookup here; only the named lookup knows Vista's records.
  if (IsFamily(kOsWinNT)) return EndLookup(FindDriveNt(slotId, nullptr));
  return 0;
}

int CSlotDriveFinder::FindNamedDrive(const std::string& slotId, const std::string& nameFilter) {
  ++m_nLookupCount;
  if (IsFamily(kOsWin9x) && !IsVersion(kOsWin95))
    return EndLookup(FindDrive9x(slotId, &nameFilter));
  if (IsFamily(kOsWinNT)) {
    if (IsVersion(kOsWinVista)) return EndLookup(FindDriveVista(slotId));
    return EndLookup(FindDriveNt(slotId, &nameFilter));
  }
  return 0;
}

void CSlotDriveFinder::NoteMountRecords(const std::vector<uint32_t>& records,
                                        const std::string& parentIdPrefix) {
  for (uint32_t record : records) {
    NoteDrive(std::string(1, m_index.RecordLetter(record)));
    m_strParentIdPrefix = parentIdPrefix;
  }
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
  if (!m_index.ReadDisks()) return 0;
  m_index.MatchingDisks(SplitSlotId(slotId), m_found);
  for (uint32_t disk : m_found) {
    m_listDeviceIds.push_back(m_index.InstanceId(disk));
    const DiskNames* names = m_index.NamesOf(disk);
    if (names == nullptr) continue;
    // A disk that does not say its name is given the benefit of the doubt.
    if (nameFilter != nullptr && !names->friendlyName.empty() &&
        !MbcsContains(names->friendlyName, *nameFilter))
      continue;
    if (names->parentIdPrefix.empty()) continue;
    NoteMountRecords(m_index.XpRecordsOf(disk), names->parentIdPrefix);
  }
  return FinishLookup();
}

int CSlotDriveFinder::FindDriveVista(const std::string& slotId) {
  m_strFoundDrive = kNoDrive;
  if (!m_index.ReadDisks()) return 0;
  m_index.MatchingDisks(SplitSlotId(slotId), m_found);
  if (m_found.empty()) return FinishLookup();
  // The record names the USB storage device itself, so no per-device key is needed; every
  // matching disk repeats the same records (two identical readers list each letter twice).
  const std::vector<uint32_t>& records =
      m_index.MountRecordsContaining(VistaMountMatchText(slotId));
  for (uint32_t disk : m_found) {
    m_listDeviceIds.push_back(m_index.InstanceId(disk));
    // A Vista-style find leaves no parent id prefix behind.
    NoteMountRecords(records, std::string());
  }
  return FinishLookup();
}

int CSlotDriveFinder::FindDrive9x(const std::string& slotId, const std::string* nameFilter) {
  m_strFoundDrive = kNoDrive;
  if (!m_index.ReadDevnodes()) return 0;
  m_index.MatchingDevnodes(SplitSlotId(MbcsUpper(slotId)), m_found);
  for (uint32_t devnode : m_found) {
    m_listDeviceIds.push_back(m_index.UpperHardwareKey(devnode));
    if (!m_index.DeviceKeyOpens(devnode)) continue;
    if (nameFilter != nullptr && !MbcsContains(m_index.ProductId(devnode), *nameFilter)) continue;
    const std::string& letter = m_index.CurrentDriveLetter(devnode);
    if (letter.size() == 1) NoteDrive(letter);
  }
  return FinishLookup();
}
