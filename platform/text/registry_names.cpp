#include "platform/text/registry_names.h"

#include "platform/text/codepage.h"
#include "platform/text/mbcs_text.h"

namespace platform {

std::string FoldRegistryName(const std::string& name, bool toUpper) {
  return toUpper ? MbcsUpper(name) : MbcsLower(name);
}

namespace {
// One byte of FoldRegistryName(text, true), given whether it is the trail byte of a
// double-byte character; advances that state.
unsigned char FoldedByte(unsigned char c, bool& trail) {
  if (trail) {
    trail = false;
    return c;
  }
  if (IsCp932LeadByte(c)) {
    trail = true;
    return c;
  }
  return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}
}  // namespace

bool RegistryNamesEqual(const std::string& a, const std::string& b) {
  // Compared as folded, byte by byte, without building the folded copies: the registry twin
  // compares a name with every value of a key on each lookup.
  if (a.size() != b.size()) return false;
  bool trailA = false;
  bool trailB = false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldedByte(static_cast<unsigned char>(a[i]), trailA) !=
        FoldedByte(static_cast<unsigned char>(b[i]), trailB))
      return false;
  }
  return true;
}

uint32_t RegistryNameHash(const std::string& name) {
  uint32_t hash = 2166136261u;  // FNV-1a over the folded bytes
  bool trail = false;
  for (char c : name) {
    hash ^= FoldedByte(static_cast<unsigned char>(c), trail);
    hash *= 16777619u;
  }
  return hash;
}

std::u16string RegistryNameSortKey(const std::string& name, bool toUpper) {
  std::string folded = FoldRegistryName(name, toUpper);
  std::u16string key;
  if (Cp932ToUtf16(folded, key)) return key;
  key.clear();
  for (char c : folded) key.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace platform
