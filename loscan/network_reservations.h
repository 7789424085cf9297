// The user's remembered network connections: the drive letters they keep for themselves
// whether or not they are connected.
#pragma once
#include "platform/registry.h"

inline constexpr int kMaxReservations = 36;

// Reads the letters under HKEY_CURRENT_USER ("Network" on the NT family, "Network\Persistent"
// on 9x) into reserved and returns their number (0 to 36). A sub key counts when the key
// named by the first character of its name holds a readable "RemotePath".
int ReadReservedLetters(platform::IRegistry& registry, const char* osFamily,
                        char (&reserved)[kMaxReservations]);
