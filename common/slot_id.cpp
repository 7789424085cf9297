#include "common/slot_id.h"

#include "platform/text/mbcs_text.h"

SlotIdParts SplitSlotId(const std::string& slotId) {
  // '*' (0x2A) is never a cp932 trail byte, so a plain byte search finds a whole character.
  size_t star = slotId.find('*');
  if (star == std::string::npos || slotId.empty()) return {slotId, slotId};
  // The tail starts after the second '*'; an id that ends in a single '*' has an empty tail.
  size_t tailStart = star + 2;
  return {slotId.substr(0, star), tailStart < slotId.size() ? slotId.substr(tailStart) : ""};
}

bool ContainsSlotIdParts(std::string_view text, const SlotIdParts& parts) {
  return MbcsContains(text, parts.head) && MbcsContains(text, parts.tail);
}
