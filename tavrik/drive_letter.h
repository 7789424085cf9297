// What an eject engine accepts as a drive letter.
#pragma once

// A-Z or a-z. Anything else names no drive: "%c:\" of it would be a path such as "\0:\" (the
// current drive to GetDriveTypeA) and its drive number would fall outside 1 to 26.
inline bool IsDriveLetter(char letter) {
  return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

// The DOS drive number: A = 1, B = 2, ...
inline unsigned DriveNumber(char letter) {
  const char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A')
                                                      : letter;
  return static_cast<unsigned char>(upper) - 0x40u;
}
