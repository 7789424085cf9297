// The volume I/O seam's handle rules held to Windows: natively on the scripted twin, as a
// Windows program on the real calls (Wine's under Wine). The engines rely on them when they
// close what they opened and treat a failed open as no device.
#include <gtest/gtest.h>

#include <memory>

#include "platform/twin/twin_volume_io.h"
#include "platform/volume_io.h"
#include "tests/conformance/registry_under_test.h"

#ifdef _WIN32
#include "platform/win32/win32_volume_io.h"
#endif

namespace {

using platform::kInvalidVolumeHandle;

constexpr const char kVolume[] = "\\\\.\\C:";
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorInvalidHandle = 6;

std::unique_ptr<platform::IVolumeIo> VolumeIoUnderTest() {
#ifdef _WIN32
  return std::make_unique<platform::Win32VolumeIo>();
#else
  auto twin = std::make_unique<platform::ScriptedVolumeIo>();
  twin->AddDevice(kVolume);
  return twin;
#endif
}

TEST(VolumeIoConformance, VolumeOpensWithoutAccessRightsAndClosesOnce) {
  auto io = VolumeIoUnderTest();
  // Access 0 asks only for the device itself, which needs no rights on the volume.
  const platform::VolumeHandle volume =
      io->CreateFileA(kVolume, 0, platform::kFileShareRead | platform::kFileShareWrite,
                      platform::kOpenExisting, 0);
  ASSERT_NE(kInvalidVolumeHandle, volume);
  EXPECT_NE(0, io->CloseHandle(volume));
  EXPECT_EQ(0, io->CloseHandle(volume));
  EXPECT_EQ(kErrorInvalidHandle, io->GetLastError());
}

TEST(VolumeIoConformance, RequestOnAClosedHandleFailsWithInvalidHandle) {
  auto io = VolumeIoUnderTest();
  const platform::VolumeHandle volume =
      io->CreateFileA(kVolume, 0, platform::kFileShareRead | platform::kFileShareWrite,
                      platform::kOpenExisting, 0);
  ASSERT_NE(kInvalidVolumeHandle, volume);
  ASSERT_NE(0, io->CloseHandle(volume));
  uint32_t returned = 0;
  EXPECT_EQ(0, io->DeviceIoControl(volume, platform::kIoctlStorageEjectMedia, nullptr, 0, nullptr,
                                   0, &returned));
  EXPECT_EQ(kErrorInvalidHandle, io->GetLastError());

  // WINE DIFFERS: Wine 8 answers the volume lock with TRUE without looking at the handle, so
  // under Wine every lock attempt of the NT engine succeeds at once.
  const int locked = io->DeviceIoControl(volume, platform::kFsctlLockVolume, nullptr, 0, nullptr,
                                         0, &returned);
  if (conformance::RunningUnderWine()) {
    EXPECT_NE(0, locked);
  } else {
    EXPECT_EQ(0, locked);
    EXPECT_EQ(kErrorInvalidHandle, io->GetLastError());
  }
}

TEST(VolumeIoConformance, DeviceThatDoesNotExistGivesInvalidHandleAndFileNotFound) {
  auto io = VolumeIoUnderTest();
  EXPECT_EQ(kInvalidVolumeHandle,
            io->CreateFileA("\\\\.\\NoSuchSlotDevice", 0, 3, platform::kOpenExisting, 0));
  EXPECT_EQ(kErrorFileNotFound, io->GetLastError());
}

}  // namespace
