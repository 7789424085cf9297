// Command ids of the tray menus, and the fixed block of slot ids each reader position owns.
#pragma once
#include <cstdint>

// The commands a dialog makes of Enter and Escape (IDOK, IDCANCEL).
constexpr uint32_t kIdOkCommand = 1;
constexpr uint32_t kIdCancelCommand = 2;

constexpr uint32_t ID_ICON_REPAIR = 1032;
constexpr uint32_t ID_OPEN_EXPLORER = 1033;
constexpr uint32_t ID_OPEN_MYCOMPUTER = 1034;
constexpr uint32_t ID_EJECT_ALL = 1035;
constexpr uint32_t ID_EXIT = 1036;
constexpr uint32_t ID_VERSION_INFO = 1037;
constexpr uint32_t ID_SLOT_FIRST = 1038;
constexpr uint32_t ID_SLOT_LAST = 1087;
constexpr int kSlotIdCount = ID_SLOT_LAST - ID_SLOT_FIRST + 1;

// The first slot id of a reader position's block (0..18).
uint32_t FirstSlotId(int readerPosition);
// How many ids the block of a reader position holds: the most slots its definition may have.
int SlotIdsInBlock(int readerPosition);
// The reader position and slot a slot id stands for; false for an id outside 1038..1087.
bool SlotForCommand(uint32_t id, int& readerPosition, int& slot);
