#include "loscan/duplicate_letters.h"

bool FindDuplicateLetters(const std::string (&letters)[kSlotRows], int& first, int& second) {
  for (int i = 0; i < kSlotRows; ++i) {
    if (letters[i].empty()) continue;
    for (int j = i + 1; j < kSlotRows; ++j) {
      if (letters[i] == letters[j]) {
        first = i;
        second = j;
        return true;
      }
    }
  }
  return false;
}
