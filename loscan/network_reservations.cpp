#include "loscan/network_reservations.h"

#include <cstring>

#include "common/os_tags.h"
#include "platform/owners/scoped_reg_key.h"

namespace {
constexpr uint32_t kNameBuffer = 512;
constexpr uint32_t kDataBuffer = 512;
}  // namespace

int ReadReservedLetters(platform::IRegistry& registry, const char* osFamily,
                        char (&reserved)[kMaxReservations]) {
  const bool nt = osFamily != nullptr && std::strcmp(osFamily, kOsWinNT) == 0;
  platform::ScopedRegKey network(registry);
  if (network.Open(platform::kHkeyCurrentUser, nt ? "Network" : "Network\\Persistent",
                   platform::kKeyRead) != platform::kErrorSuccess)
    return 0;
  int count = 0;
  for (uint32_t index = 0;; ++index) {
    char name[kNameBuffer];
    uint32_t nameChars = kNameBuffer;
    long status = registry.EnumKey(network.Get(), index, name, &nameChars);
    // A name too long for the buffer is not a reservation; the later sub keys still count.
    if (status == platform::kErrorMoreData) continue;
    // The end of the list, or a key that went away meanwhile, ends the reading.
    if (status != platform::kErrorSuccess) break;
    if (nameChars == 0) continue;
    // The connection key is named by its drive letter; only that first character is used.
    const char letterKey[2] = {name[0], '\0'};
    platform::ScopedRegKey connection(registry);
    if (connection.Open(network.Get(), letterKey, platform::kKeyRead) != platform::kErrorSuccess)
      continue;
    unsigned char data[kDataBuffer];
    uint32_t dataBytes = kDataBuffer;
    if (registry.QueryValue(connection.Get(), "RemotePath", nullptr, data, &dataBytes) !=
        platform::kErrorSuccess)
      continue;
    reserved[count++] = name[0];
    // The letters are kept in 36 characters; further connections are not recorded.
    if (count == kMaxReservations) break;
  }
  return count;
}
