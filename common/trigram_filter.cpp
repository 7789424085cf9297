#include "common/trigram_filter.h"

namespace {

constexpr uint32_t kBits = 256;

uint32_t PieceBit(std::string_view text, size_t at) {
  const uint32_t piece = static_cast<uint32_t>(static_cast<unsigned char>(text[at])) |
                         static_cast<uint32_t>(static_cast<unsigned char>(text[at + 1])) << 8 |
                         static_cast<uint32_t>(static_cast<unsigned char>(text[at + 2])) << 16;
  return (piece * 0x9E3779B1u) >> 24;
}

// Narrows left to the entries holding every piece of needle, from its end (where search keys
// differ: the product and slot) towards its start; false once none is left.
bool Narrow(std::string_view needle, const std::vector<uint64_t>& sets, size_t words,
            std::vector<uint64_t>& left) {
  for (size_t at = needle.size(); at >= 3; --at) {
    const uint64_t* set = &sets[PieceBit(needle, at - 3) * words];
    uint64_t any = 0;
    for (size_t w = 0; w < words; ++w) any |= (left[w] &= set[w]);
    if (any == 0) return false;
  }
  return true;
}

}  // namespace

void TrigramFilter::Build(const std::vector<std::string_view>& texts) {
  m_entries = static_cast<uint32_t>(texts.size());
  m_words = (texts.size() + 63) / 64;
  m_sets.assign(kBits * m_words, 0);
  for (uint32_t i = 0; i < m_entries; ++i) {
    const std::string_view text = texts[i];
    // Pieces at every byte, trail bytes included: the set holds whatever the text contains.
    for (size_t at = 0; at + 3 <= text.size(); ++at)
      m_sets[PieceBit(text, at) * m_words + i / 64] |= uint64_t{1} << (i % 64);
  }
}

void TrigramFilter::Candidates(std::string_view first, std::string_view second,
                               std::vector<uint32_t>& entries) const {
  entries.clear();
  if (m_entries == 0) return;  // no set to look into
  m_left.assign(m_words, ~uint64_t{0});
  if (!Narrow(first, m_sets, m_words, m_left)) return;
  if (second != first && !Narrow(second, m_sets, m_words, m_left)) return;
  for (uint32_t i = 0; i < m_entries; ++i)
    if (m_left[i / 64] >> (i % 64) & 1) entries.push_back(i);
}
