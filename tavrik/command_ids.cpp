#include "tavrik/command_ids.h"

#include "tavrik/slot_cells.h"

namespace {
// The blocks fill 1038..1087 without gaps, in reader-position order.
constexpr int kBlockSizes[kReaderPositions] = {4, 4, 3, 2, 2, 1, 4, 1, 1, 1,
                                               1, 2, 4, 2, 2, 2, 5, 4, 5};
}  // namespace

uint32_t FirstSlotId(int readerPosition) {
  uint32_t id = ID_SLOT_FIRST;
  for (int p = 0; p < readerPosition && p < kReaderPositions; ++p)
    id += static_cast<uint32_t>(kBlockSizes[p]);
  return id;
}

int SlotIdsInBlock(int readerPosition) {
  return readerPosition >= 0 && readerPosition < kReaderPositions ? kBlockSizes[readerPosition] : 0;
}

bool SlotForCommand(uint32_t id, int& readerPosition, int& slot) {
  if (id < ID_SLOT_FIRST || id > ID_SLOT_LAST) return false;
  for (int p = 0; p < kReaderPositions; ++p) {
    uint32_t first = FirstSlotId(p);
    if (id < first + static_cast<uint32_t>(kBlockSizes[p])) {
      readerPosition = p;
      slot = static_cast<int>(id - first);
      return true;
    }
  }
  return false;
}
