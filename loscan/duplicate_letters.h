// The duplicate check of the letters chosen for a reader's slots.
#pragma once
#include <string>

#include "loscan/device_model.h"

// The first pair (i, j), i < j, in row order whose letters are equal and not empty; false when
// every chosen letter is different. Slots without a choice never clash.
bool FindDuplicateLetters(const std::string (&letters)[kSlotRows], int& first, int& second);
