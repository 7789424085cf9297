// A slot id is the hardware-id pattern of one reader slot. It may carry "**" between a head
// and a tail, both of which must occur in a device id for the slot to match it.
#pragma once
#include <string>
#include <string_view>

struct SlotIdParts {
  std::string head;
  std::string tail;
};

// Splits at the first '*': head before it, tail from two characters after it. Without a '*'
// (or for an empty id) head and tail are both the whole id. Case is kept.
SlotIdParts SplitSlotId(const std::string& slotId);

// Whether text holds both parts (case-sensitive, cp932-aware).
bool ContainsSlotIdParts(std::string_view text, const SlotIdParts& parts);
