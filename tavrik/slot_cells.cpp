#include "tavrik/slot_cells.h"

namespace {

// Lower-case hex without leading zeros, as "%x" writes it. Formatted by hand: the names are
// made three times per slot at every start and close.
void AppendHex(std::string& out, unsigned value) {
  char digits[2 * sizeof value];
  size_t count = 0;
  do {
    digits[count++] = "0123456789abcdef"[value % 16];
    value /= 16;
  } while (value != 0);
  while (count > 0) out.push_back(digits[--count]);
}

}  // namespace

std::string SlotEntryName(int readerPosition, int slot) {
  std::string name;
  AppendHex(name, static_cast<unsigned>(readerPosition));
  name.push_back('x');
  AppendHex(name, static_cast<unsigned>(slot));
  return name;
}
