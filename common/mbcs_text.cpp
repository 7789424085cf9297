#include "common/mbcs_text.h"

#include <cstring>

bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string MbcsUpper(const std::string& text) {
  std::string out = text;
  for (size_t i = 0; i < out.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(out[i]);
    if (IsCp932LeadByte(c)) {
      ++i;  // skip the trail byte: 'a'..'z' may appear there and must stay as it is
    } else if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return out;
}

size_t MbcsFind(const std::string& haystack, const std::string& needle, size_t from) {
  if (needle.empty()) return from <= haystack.size() ? from : std::string::npos;
  size_t i = 0;
  while (i < haystack.size()) {
    if (i >= from && haystack.size() - i >= needle.size() &&
        std::memcmp(haystack.data() + i, needle.data(), needle.size()) == 0)
      return i;
    i += IsCp932LeadByte(static_cast<unsigned char>(haystack[i])) ? 2 : 1;
  }
  return std::string::npos;
}

bool MbcsContains(const std::string& haystack, const std::string& needle) {
  return MbcsFind(haystack, needle) != std::string::npos;
}
