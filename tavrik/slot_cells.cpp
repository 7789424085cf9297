#include "tavrik/slot_cells.h"

#include <cstdio>

std::string SlotEntryName(int readerPosition, int slot) {
  char name[32];
  std::snprintf(name, sizeof name, "%xx%x", static_cast<unsigned>(readerPosition),
                static_cast<unsigned>(slot));
  return name;
}
