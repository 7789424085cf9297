#include "platform/text/mbcs_text.h"

#include <algorithm>

bool IsWellFormedCp932(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (!IsCp932LeadByte(static_cast<unsigned char>(text[i]))) continue;
    if (i + 1 >= text.size() || !IsCp932TrailByte(static_cast<unsigned char>(text[i + 1])))
      return false;
    ++i;
  }
  return true;
}

namespace {

// Maps every single-byte character through fold; a lead byte takes its trail byte along.
template <typename Fold>
void FoldSingleBytes(std::string& text, Fold fold) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (IsCp932LeadByte(c))
      ++i;
    else
      text[i] = fold(text[i]);
  }
}

// Calls visit(position) for every single-byte character of text, in order.
template <typename Visit>
void ForEachSingleByte(std::string_view text, Visit visit) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsCp932LeadByte(static_cast<unsigned char>(text[i])))
      ++i;
    else
      visit(i);
  }
}

}  // namespace

void MbcsUpperInPlace(std::string& text) {
  FoldSingleBytes(text, [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
}

std::string MbcsUpper(const std::string& text) {
  std::string out = text;
  MbcsUpperInPlace(out);
  return out;
}

std::string MbcsLower(const std::string& text) {
  std::string out = text;
  FoldSingleBytes(out, [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return out;
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

size_t MbcsFindLastOf(std::string_view text, std::string_view set) {
  size_t found = std::string::npos;
  ForEachSingleByte(text, [&](size_t i) {
    if (set.find(text[i]) != std::string_view::npos) found = i;
  });
  return found;
}

size_t MbcsFindLast(std::string_view text, char c) {
  return MbcsFindLastOf(text, std::string_view(&c, 1));
}

std::vector<std::string> MbcsSplit(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  size_t start = 0;
  ForEachSingleByte(text, [&](size_t i) {
    if (text[i] != separator) return;
    pieces.emplace_back(text.substr(start, i - start));
    start = i + 1;
  });
  pieces.emplace_back(text.substr(start));
  return pieces;
}

bool MbcsEndsWith(std::string_view text, char c) {
  return !text.empty() && MbcsFindLast(text, c) == text.size() - 1;
}

std::string MbcsBaseName(std::string_view path) {
  const size_t slash = MbcsFindLast(path, '\\');
  return std::string(slash == std::string::npos ? path : path.substr(slash + 1));
}

std::string MbcsFileTitle(std::string_view path) {
  const size_t slash = MbcsFindLastOf(path, "\\/");
  std::string_view name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = MbcsFindLast(name, '.');
  if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

std::string MbcsPrefix(std::string_view text, size_t maxBytes) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t width = IsCp932LeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > maxBytes) break;
    end += width;
  }
  return std::string(text.substr(0, std::min(end, text.size())));
}
