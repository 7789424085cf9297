// The drive finder: which drive letter does the system give to one slot of a known reader?
// Both programs own one; it classifies the system once, at construction, and answers lookups
// from the registry (mount records on the NT family, the configuration manager on 9x).
#pragma once
#include <string>
#include <vector>

#include "common/drive_lookup_index.h"
#include "common/os_tags.h"
#include "platform/registry.h"
#include "platform/system.h"

class CSlotDriveFinder {
 public:
  CSlotDriveFinder(platform::IRegistry& registry, platform::ISystem& system);
  virtual ~CSlotDriveFinder();
  CSlotDriveFinder(const CSlotDriveFinder&) = delete;
  CSlotDriveFinder& operator=(const CSlotDriveFinder&) = delete;

  // Empties the lists and counters; the tags and m_strFoundDrive stay.
  void Reset();
  // Lookup without name filter. 1 when a letter was found (in m_strFoundDrive), else 0.
  int FindDrive(const std::string& slotId);
  // Lookup with a name filter (FriendlyName on NT, ProductId on 9x; unused on Vista).
  int FindNamedDrive(const std::string& slotId, const std::string& nameFilter);
  // A refresh asks for many slots in a row. From BeginRefresh to its EndRefresh the lookups
  // read each key and value they need once and answer every later search key from what they
  // read; outside a refresh every lookup reads the registry afresh. Refreshes may nest.
  void BeginRefresh();
  void EndRefresh();
  // Whether the system's family or version tag is exactly this one.
  bool IsFamily(const char* tag) const;
  bool IsVersion(const char* tag) const;

  // Every device id that passed the id match since the last Reset, in the order found.
  std::vector<std::string> m_listDeviceIds;
  // One one-character letter per mount record found since the last Reset.
  std::vector<std::string> m_listDrives;
  std::string m_strStatus;
  // The letter of the latest lookup, or "NoDrive"; the last record found wins.
  std::string m_strFoundDrive;
  std::string m_strParentIdPrefix;
  int m_nDriveCount = 0;
  int m_nLookupCount = 0;
  char m_szOsFamily[kOsTagSize];
  char m_szOsVersion[kOsTagSize];

 protected:
  void DetectOsFamily();
  void DetectOsVersion();

  // filter is null for a lookup without name filter.
  int FindDriveNt(const std::string& slotId, const std::string* nameFilter);
  int FindDriveVista(const std::string& slotId);
  int FindDrive9x(const std::string& slotId, const std::string* nameFilter);

  // Notes the letter of each mount record found, with parentIdPrefix as the prefix of the
  // device found last.
  void NoteMountRecords(const std::vector<uint32_t>& records, const std::string& parentIdPrefix);
  // Appends a letter found to m_listDrives and makes it the latest find.
  void NoteDrive(const std::string& letter);
  // Stores the drive count and returns the lookup's result.
  int FinishLookup();
  // A lookup outside a refresh leaves nothing read behind.
  int EndLookup(int result);

  platform::IRegistry& m_registry;
  platform::ISystem& m_system;
  // What the lookups of the running refresh have read; the writer drops it.
  DriveLookupIndex m_index;
  int m_nRefreshDepth = 0;

 private:
  // Reused from lookup to lookup.
  std::vector<uint32_t> m_found;
};

// Holds a finder's refresh open for one scope.
class ScopedFinderRefresh {
 public:
  explicit ScopedFinderRefresh(CSlotDriveFinder& finder) : m_finder(finder) {
    m_finder.BeginRefresh();
  }
  ~ScopedFinderRefresh() { m_finder.EndRefresh(); }
  ScopedFinderRefresh(const ScopedFinderRefresh&) = delete;
  ScopedFinderRefresh& operator=(const ScopedFinderRefresh&) = delete;

 private:
  CSlotDriveFinder& m_finder;
};

// "NoDrive": a slot without a letter.
inline constexpr const char kNoDrive[] = "NoDrive";
