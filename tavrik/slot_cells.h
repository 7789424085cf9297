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

// The settings entry name of a slot: reader position and slot index in lower-case hex around
// an 'x' ("0x0", "12x4").
std::string SlotEntryName(int readerPosition, int slot);

// Markers of the slot state.
inline constexpr const char kNoFunc[] = "NoFunc";
inline constexpr const char kNoDevice[] = "NoDevice";
