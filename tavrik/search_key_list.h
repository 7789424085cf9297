// The search keys of one reader slot: the slot ids under which the system may record the
// slot's disk, tried one at a time.
#pragma once
#include <cstdint>
#include <string>

constexpr int kMaxSearchKeys = 5;

class CSearchKeyList {
 public:
  virtual ~CSearchKeyList() = default;

  uint8_t m_nCount = 0;  // valid keys, never more than kMaxSearchKeys
  std::string m_astrKeys[kMaxSearchKeys];
};
