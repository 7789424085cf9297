#include "common/mbcs_text.h"

bool IsCp932LeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string MbcsUpper(const std::string& text) {
  std::string out = text;
  MbcsUpperInPlace(out);
  return out;
}

void MbcsUpperInPlace(std::string& text) {
  char* p = text.data();
  char* const end = p + text.size();
  while (p < end) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < 0x80) {
      if (c >= 'a' && c <= 'z') *p = static_cast<char>(c - 'a' + 'A');
      ++p;
    } else {
      // A lead byte takes its trail byte along: 'a'..'z' may appear there and must stay.
      p += IsCp932LeadByte(c) && end - p > 1 ? 2 : 1;
    }
  }
}

size_t MbcsFind(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.empty()) return from <= haystack.size() ? from : std::string::npos;
  // Candidates come from a plain byte search; one counts only where a character starts,
  // which a walk over the lead bytes from the beginning tells (it runs only for candidates).
  size_t boundary = 0;
  for (size_t at = haystack.find(needle, from); at != std::string_view::npos;
       at = haystack.find(needle, at + 1)) {
    while (boundary < at)
      boundary += IsCp932LeadByte(static_cast<unsigned char>(haystack[boundary])) ? 2 : 1;
    if (boundary == at) return at;
  }
  return std::string::npos;
}

bool MbcsContains(std::string_view haystack, std::string_view needle) {
  return MbcsFind(haystack, needle) != std::string::npos;
}

size_t MbcsFindLast(const std::string& text, char c) {
  size_t found = std::string::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsCp932LeadByte(static_cast<unsigned char>(text[i])))
      ++i;
    else if (text[i] == c)
      found = i;
  }
  return found;
}
