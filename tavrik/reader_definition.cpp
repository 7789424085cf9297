#include "tavrik/reader_definition.h"

#include <algorithm>
#include <cstdio>

#include "common/fixed_buffer_reads.h"
#include "platform/owners/scoped_reg_key.h"

using platform::kHkeyLocalMachine;
using platform::kKeyRead;
using platform::ScopedRegKey;

namespace {

constexpr uint32_t kTextBufferSize = 260;
constexpr int kPathBufferSize = 260;
// "Count" is taken when its low byte is a single digit, the form of the value names "0".."9".
constexpr unsigned kMaxCountValue = 9;

// Formats a key path into a 260-byte buffer; false when it does not fit, so the key is skipped.
template <typename... Args>
bool FormatPath(char (&path)[kPathBufferSize], const char* format, Args... args) {
  const int length = std::snprintf(path, sizeof path, format, args...);
  return length >= 0 && length < kPathBufferSize;
}

std::string ReadText(ScopedRegKey& key, const char* name) {
  return ReadTextValue(key.Registry(), key.Get(), name, kTextBufferSize);
}

}  // namespace

CReaderDefinition::CReaderDefinition(platform::IRegistry& registry, platform::IFiles& files)
    : m_registry(&registry), m_files(&files) {}

CReaderDefinition::~CReaderDefinition() = default;

int CReaderDefinition::Load(const std::string& model) {
  m_strModel = model;
  char modelPath[kPathBufferSize];
  if (!FormatPath(modelPath, "%s%s\\", kDefinitionsKeyPath, model.c_str())) return -1;
  ScopedRegKey key(*m_registry);
  if (key.Open(kHkeyLocalMachine, modelPath, kKeyRead) != platform::kErrorSuccess) return -1;
  uint32_t vid = 0, pid = 0, driveNum = 0;  // a missing value reads as 0
  key.ReadNumber("VID", vid);
  key.ReadNumber("PID", pid);
  key.ReadNumber("DriveNum", driveNum);
  m_nVid = vid & 0xFFFFu;
  m_nPid = pid & 0xFFFFu;
  // A reader has room for five slots; a larger count reads the five.
  m_nDriveNum = static_cast<uint8_t>(std::min<unsigned>(driveNum & 0xFFu, kMaxDefinedSlots));
  m_strFriendlyName = ReadText(key, "FriendlyName");
  m_strMemo = ReadText(key, "Memo");
  key.Close();
  for (int slot = 0; slot < m_nDriveNum; ++slot) LoadSlot(modelPath, slot);
  return 0;
}

void CReaderDefinition::LoadSlot(const char* modelPath, int slot) {
  char slotPath[kPathBufferSize];
  if (!FormatPath(slotPath, "%sDriveItems\\Drive%c\\", modelPath, '0' + slot)) return;
  ScopedRegKey key(*m_registry);
  // A slot whose key is missing keeps what it had, and its search keys are not read.
  if (key.Open(kHkeyLocalMachine, slotPath, kKeyRead) != platform::kErrorSuccess) return;
  CSlotDefinition& definition = m_aSlots[slot];
  definition.m_strDriveFunc = ReadText(key, "DriveFunc");
  definition.m_strDriveFuncs = ReadText(key, "DriveFuncs");
  // Explorer's icon values and the icon program's data files take the 8.3 form.
  definition.m_strIconPath = ShortPath(ReadText(key, "IconPath"));
  key.Close();
  LoadSearchKeys(slotPath, definition.m_searchKeys);
}

void CReaderDefinition::LoadSearchKeys(const char* slotPath, CSearchKeyList& keys) {
  char searchPath[kPathBufferSize];
  if (!FormatPath(searchPath, "%sSearchRegKey\\", slotPath)) return;
  ScopedRegKey key(*m_registry);
  if (key.Open(kHkeyLocalMachine, searchPath, kKeyRead) != platform::kErrorSuccess) return;
  uint32_t count = 0;
  key.ReadNumber("Count", count);
  count &= 0xFFu;
  // Counts up to 9 are valid value names, but the list holds five keys: it keeps the first five.
  if (count <= kMaxCountValue)
    keys.m_nCount = static_cast<uint8_t>(std::min<unsigned>(count, kMaxSearchKeys));
  for (int j = 0; j < keys.m_nCount; ++j) {
    const char name[2] = {static_cast<char>('0' + j), '\0'};
    keys.m_astrKeys[j] = ReadText(key, name);
  }
}

std::string CReaderDefinition::ShortPath(const std::string& path) {
  char shortPath[kPathBufferSize] = {};
  const uint32_t length = m_files->GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
  // 0: the file does not resolve; 260 or more: the size it would need.
  if (length == 0 || length >= sizeof shortPath) return std::string();
  return std::string(shortPath, length);
}
