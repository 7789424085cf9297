// A quick "cannot contain" test for the lookups' substring matches: the set of three-byte
// pieces of a text, folded into 256 bits. A text that contains a needle holds every piece of
// it, so a text whose signature lacks one of the needle's bits cannot contain the needle; one
// that has them all is then tested for real. A refresh tests some 160 search keys against every
// present disk, and most keys name a reader that is not plugged in: this turns nearly all of
// those tests into one comparison of four words.
#pragma once
#include <cstdint>
#include <string_view>

struct TrigramSignature {
  uint64_t bits[4] = {};

  // Notes every three-byte piece of text, at every byte (trail bytes included, so the set
  // holds the pieces of whatever the text contains).
  void Add(std::string_view text) {
    for (size_t i = 0; i + 3 <= text.size(); ++i) {
      const uint32_t piece = static_cast<uint32_t>(static_cast<unsigned char>(text[i])) |
                             static_cast<uint32_t>(static_cast<unsigned char>(text[i + 1])) << 8 |
                             static_cast<uint32_t>(static_cast<unsigned char>(text[i + 2])) << 16;
      const uint32_t bit = (piece * 0x9E3779B1u) >> 24;
      bits[bit >> 6] |= uint64_t{1} << (bit & 63);
    }
  }

  // Whether this text may hold everything the other signature was made of.
  bool MayContain(const TrigramSignature& needles) const {
    for (int i = 0; i < 4; ++i)
      if ((bits[i] & needles.bits[i]) != needles.bits[i]) return false;
    return true;
  }
};
