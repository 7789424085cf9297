#include "common/mount_records.h"

#include "common/fixed_buffer_reads.h"
#include "platform/text/mbcs_text.h"

namespace {
constexpr char kRemovableMediaHead[] = "\\??\\STORAGE#RemovableMedia#";
constexpr char kRemovableMediaLookupTail[] = "&RM#{";
// The volume device-interface class that ends every removable-media record.
constexpr char kRemovableMediaTail[] = "&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}";
constexpr char kUsbStorPrefix[] = "USBSTOR\\";
// "\DosDevices\" is 12 characters: the letter follows it.
constexpr size_t kLetterIndex = sizeof kDosDevicesPrefix - 1;
}  // namespace

std::string XpMountRecordText(const std::string& parentIdPrefix) {
  return kRemovableMediaHead + parentIdPrefix + kRemovableMediaTail;
}

std::string XpMountLookupText(const std::string& parentIdPrefix) {
  return MbcsUpper(kRemovableMediaHead + parentIdPrefix + kRemovableMediaLookupTail);
}

std::string VistaMountMatchText(const std::string& slotId) {
  std::string id;
  const std::string usbStor = kUsbStorPrefix;
  for (size_t i = 0; i < slotId.size();) {
    if (slotId.compare(i, usbStor.size(), usbStor) == 0) {
      i += usbStor.size();
    } else if (IsCp932LeadByte(static_cast<unsigned char>(slotId[i])) && i + 1 < slotId.size()) {
      id.append(slotId, i, 2);  // a trail byte is never a '/' of its own
      i += 2;
    } else {
      id.push_back(slotId[i] == '/' ? '#' : slotId[i]);
      ++i;
    }
  }
  return MbcsUpper(kVistaRecordHead + id);
}

std::string DosDevicesValueName(char letter) {
  return std::string(kDosDevicesPrefix) + letter + ':';
}

bool DriveLetterOfValueName(const std::string& name, char& letter) {
  if (name.size() <= kLetterIndex) return false;
  char c = name[kLetterIndex];
  if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  letter = c;
  return true;
}

namespace {
// Decodes mount records through buffers kept from one record to the next: a scan decodes a
// record for every drive letter of the machine.
class MountRecordDecoder {
 public:
  // text points into the decoder, valid until the next call.
  bool Decode(platform::ISystem& system, const uint8_t* data, uint32_t dataBytes,
              uint32_t bufferSize, std::string_view& text) {
    // Two zero bytes go right after the data so the last character survives: they must fit
    // too.
    if (data == nullptr || dataBytes + 2 > bufferSize) return false;
    const uint32_t units = (dataBytes + 1) / 2;
    m_wide.resize(units + 2);
    for (uint32_t i = 0; i < units; ++i) {
      const uint32_t high = 2 * i + 1 < dataBytes ? data[2 * i + 1] : 0;
      m_wide[i] = static_cast<uint16_t>(data[2 * i] | (high << 8));
    }
    m_wide[units] = 0;
    m_wide[units + 1] = 0;
    m_ansi.resize(bufferSize);
    int written = system.WideToAnsi(m_wide.data(), m_ansi.data(), static_cast<int>(bufferSize));
    if (written <= 0) return false;
    text = TextViewOfValueData(reinterpret_cast<const uint8_t*>(m_ansi.data()),
                               static_cast<uint32_t>(written));
    return true;
  }

 private:
  std::vector<uint16_t> m_wide;
  std::vector<char> m_ansi;
};
}  // namespace

bool DecodeMountRecord(platform::ISystem& system, const uint8_t* data, uint32_t dataBytes,
                       uint32_t bufferSize, std::string& text) {
  MountRecordDecoder decoder;
  std::string_view decoded;
  if (!decoder.Decode(system, data, dataBytes, bufferSize, decoded)) return false;
  text.assign(decoded);
  return true;
}

bool EncodeMountRecord(platform::ISystem& system, const std::string& text, uint32_t bufferSize,
                       std::vector<uint8_t>& data) {
  data.clear();
  if (text.empty()) return false;  // an empty record would leave the letter pointing nowhere
  std::vector<uint16_t> wide(bufferSize / 2, 0);
  int chars = system.AnsiToWide(text.data(), static_cast<int>(text.size()), wide.data(),
                                static_cast<int>(wide.size()));
  if (chars <= 0) return false;
  for (int i = 0; i < chars; ++i) {
    data.push_back(static_cast<uint8_t>(wide[static_cast<size_t>(i)] & 0xFF));
    data.push_back(static_cast<uint8_t>(wide[static_cast<size_t>(i)] >> 8));
  }
  return true;
}

void ForEachMatchingMountRecord(platform::IRegistry& registry, platform::ISystem& system,
                                platform::RegKey mountKey, uint32_t bufferSize,
                                const std::string& matchText,
                                const std::function<void(const MountRecordHit&)>& visit) {
  MountRecordDecoder decoder;
  std::string_view text;
  std::string upper;
  ForEachValue(registry, mountKey, bufferSize, [&](const EnumeratedValue& value) {
    // Each UTF-16 unit becomes at most two ANSI bytes: a record too short to hold the match
    // text (a disk signature, a GPT partition id) is passed over without looking further.
    const uint64_t units = (uint64_t{value.dataBytes} + 1) / 2;
    if (2 * units < matchText.size()) return;
    // Volume GUID records ("\??\Volume{...}") share the key; only drive letters count.
    if (!MbcsContains(value.name, kDosDevicesPrefix)) return;
    if (!decoder.Decode(system, value.data, value.dataBytes, bufferSize, text)) return;
    upper.assign(text);
    MbcsUpperInPlace(upper);
    if (!MbcsContains(upper, matchText)) return;
    visit(MountRecordHit{std::string(value.name), std::string(text)});
  });
}
