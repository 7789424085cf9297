// One reader model of Loscan's built-in device catalogue.
#pragma once
#include <cstdint>
#include <string>

inline constexpr int kModelCount = 19;
inline constexpr int kMaxModelIds = 10;
// The dialog has controls for six slot rows; no model uses the sixth.
inline constexpr int kSlotRows = 6;

inline constexpr int32_t kLookupPlain = 0;     // FindDrive: by slot id alone
inline constexpr int32_t kLookupFiltered = 1;  // FindNamedDrive with the model's filter

// Entry i of either id list belongs to slot i mod nSlots: a list holds one group of nSlots
// ids, or two when the reader may also appear under a second driver or its display name.
struct DeviceModel {
  uint8_t nPrimaryIds = 0;    // NT-family ids
  uint8_t nSecondaryIds = 0;  // 9x-family ids
  uint8_t nSlots = 0;
  int32_t nLookupMode = kLookupPlain;
  std::string aPrimaryIds[kMaxModelIds];
  std::string aSecondaryIds[kMaxModelIds];
  // One entry per slot, all equal; only the first is consulted.
  std::string aPrimaryFilters[kMaxModelIds];
  std::string aSecondaryFilters[kMaxModelIds];
  std::string strName;
  std::string aSlotLabels[kSlotRows];
};
