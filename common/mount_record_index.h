// The drive-letter records of one reading of "System\MountedDevices", indexed by the text the
// lookups' matches test. A machine that has seen many volumes keeps thousands of values there,
// of which only the "\DosDevices\X:" ones can give a letter: they are decoded and upper-cased
// once, and each is filed under the text that follows every record head it holds
// ("\??\STORAGE#REMOVABLEMEDIA#" for XP-style records, "_??_USBSTOR#" for Vista-style ones), so
// a match text that starts with a head is answered by a search in that file, not by a scan.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/mount_records.h"
#include "platform/registry.h"
#include "platform/system.h"

class MountRecordIndex {
 public:
  // Reads the mount key, names and data through buffers of bufferSize, as a scan of it does:
  // values that do not fit, records that do not decode and names without a letter at index 12
  // are left out. False when the key cannot be opened (no record then).
  bool Load(platform::IRegistry& registry, platform::ISystem& system, uint32_t bufferSize);
  void Clear();

  // The records whose upper-cased text contains matchText (upper case), each once, in the
  // order the key enumerated them.
  void FindContaining(const std::string& matchText, std::vector<uint32_t>& records) const;
  // The drive letter a record's value name gives, as stored.
  char Letter(uint32_t record) const { return m_records[record].letter; }
  size_t Size() const { return m_records.size(); }

 private:
  struct Record {
    std::string upperText;
    char letter = 0;
  };
  // One place where a head occurs in a record: the text after it, and the record.
  struct HeadTail {
    std::string_view tail;
    uint32_t record = 0;
  };
  struct HeadFile {
    std::string_view head;
    std::vector<HeadTail> byTail;  // sorted by tail
  };

  void FileUnder(HeadFile& file);

  std::vector<Record> m_records;
  HeadFile m_files[2] = {{kXpRecordHeadUpper, {}}, {kVistaRecordHead, {}}};
};
