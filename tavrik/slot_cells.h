// Reader positions and slot cells. A reader is known by its position 0..18 in the fixed
// catalogue; every per-slot field is an array of 133 cells, 7 per reader. A reader has at
// most five slots, so the cell whose index equals its slot count is always spare and carries
// per-reader flags.
#pragma once
#include <string>

constexpr int kReaderPositions = 19;
constexpr int kCellsPerReader = 7;
constexpr int kCellCount = kReaderPositions * kCellsPerReader;

constexpr int CellIndex(int readerPosition, int slot) {
  return kCellsPerReader * readerPosition + slot;
}

// A cell as the loops over the readers' cells visit it.
struct Cell {
  int reader;  // reader position
  int slot;    // slot index within the reader (the spare and unused cells follow the slots)
  int index;   // CellIndex(reader, slot)
};

// Visits the first slotCount(reader) cells of each of readers 0..readerCount-1, in index order,
// until a visit returns true; true when one did.
template <typename SlotCount, typename Visit>
bool FindCell(int readerCount, SlotCount slotCount, Visit visit) {
  for (int p = 0; p < readerCount; ++p)
    for (int s = 0; s < slotCount(p); ++s)
      if (visit(Cell{p, s, CellIndex(p, s)})) return true;
  return false;
}

// Every cell of readers 0..readerCount-1, the spare and unused ones included: the per-cell
// records (settings entries, key paths, shortcuts) are kept, and undone, for all of them.
template <typename Visit>
void ForEachCell(int readerCount, Visit visit) {
  FindCell(
      readerCount, [](int) { return kCellsPerReader; },
      [&](const Cell& cell) {
        visit(cell);
        return false;
      });
}

// The settings entry name of a slot: reader position and slot index in lower-case hex around
// an 'x' ("0x0", "12x4").
std::string SlotEntryName(int readerPosition, int slot);

// Markers of the slot state.
inline constexpr const char kNoFunc[] = "NoFunc";
inline constexpr const char kNoDevice[] = "NoDevice";
