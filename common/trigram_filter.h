// A quick "cannot contain" test for the lookups' substring matches over a list of texts (the
// disk list, the devnodes' hardware keys). Every three-byte piece of every text is hashed to
// one of 256 bits, and each bit keeps the set of texts holding such a piece. A text that
// contains a needle holds every piece of it, so only the texts found under all of a needle's
// bits can contain it, and only those are then tested for real. A refresh tests some 160
// search keys against the list, and most name a reader that is not plugged in: their sets run
// empty after a few pieces.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

class TrigramFilter {
 public:
  // Files the texts; text i of the list is entry i.
  void Build(const std::vector<std::string_view>& texts);
  // The entries that may contain both needles, in order.
  void Candidates(std::string_view first, std::string_view second,
                  std::vector<uint32_t>& entries) const;

 private:
  uint32_t m_entries = 0;
  size_t m_words = 0;            // 64-bit words per bit's set
  std::vector<uint64_t> m_sets;  // 256 sets of m_words words each
  mutable std::vector<uint64_t> m_left;
};
