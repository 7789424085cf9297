// Reading the letters the user's remembered network connections keep.
#include "loscan/network_reservations.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/owners/scoped_reg_key.h"
#include "platform/twin/twin_registry.h"

namespace {

class Reservations : public testing::Test {
 protected:
  void Add(const std::string& path, const char* value = "RemotePath") {
    platform::ScopedRegKey key(registry);
    ASSERT_EQ(platform::kErrorSuccess,
              key.Create(platform::kHkeyCurrentUser, path.c_str(), platform::kKeyAllAccess));
    if (value == nullptr) return;
    const char data[] = "\\\\server\\share";
    registry.SetValue(key.Get(), value, platform::kRegSz,
                      reinterpret_cast<const uint8_t*>(data), sizeof data);
  }
  std::string Read(const char* family) {
    int n = ReadReservedLetters(registry, family, letters);
    EXPECT_GE(n, 0);
    EXPECT_LE(n, kMaxReservations);
    return std::string(letters, static_cast<size_t>(n));
  }
  platform::MemoryRegistry registry;
  char letters[kMaxReservations] = {};
};

TEST_F(Reservations, NtReadsNetworkAndNinexReadsNetworkPersistent) {
  Add("Network\\H");
  Add("Network\\Persistent\\K");
  Add("Network\\Persistent\\L");
  // Under Network, "Persistent" would stand for P, but there is no key "P".
  EXPECT_EQ("H", Read("WinNT"));
  EXPECT_EQ("KL", Read("Win9x"));
  EXPECT_EQ("KL", Read("OTHER"));
}

TEST_F(Reservations, MissingKeyMeansNoReservation) {
  EXPECT_EQ("", Read("WinNT"));
  EXPECT_EQ("", Read("Win9x"));
}

TEST_F(Reservations, ConnectionWithoutRemotePathIsNotAReservation) {
  Add("Network\\H", "UserName");
  Add("Network\\J");
  EXPECT_EQ("J", Read("WinNT"));
}

TEST_F(Reservations, RemotePathLongerThanItsBufferIsNotReadable) {
  Add("Network\\H");
  platform::ScopedRegKey key(registry);
  ASSERT_EQ(platform::kErrorSuccess,
            key.Create(platform::kHkeyCurrentUser, "Network\\J", platform::kKeyAllAccess));
  const std::string path = "\\\\server\\" + std::string(520, 's');  // 529 bytes with NUL
  registry.SetValue(key.Get(), "RemotePath", platform::kRegSz,
                    reinterpret_cast<const uint8_t*>(path.c_str()),
                    static_cast<uint32_t>(path.size() + 1));
  EXPECT_EQ("H", Read("WinNT"));
}

TEST_F(Reservations, OnlyTheFirstCharacterOfASubKeyNameIsUsed) {
  Add("Network\\K");
  Add("Network\\KLM", nullptr);  // counts through K's RemotePath
  Add("Network\\PQ");            // no key "P": not a reservation
  EXPECT_EQ("KK", Read("WinNT"));
}

TEST_F(Reservations, NeverMoreThanThirtySixLetters) {
  Add("Network\\A");
  for (int i = 0; i < 40; ++i) Add("Network\\A" + std::to_string(100 + i), nullptr);
  EXPECT_EQ(std::string(36, 'A'), Read("WinNT"));
}

}  // namespace
