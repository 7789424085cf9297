#include "platform/twin/twin_volume_io.h"

#include <gtest/gtest.h>

#include "platform/owners/scoped_volume_handle.h"

namespace {

using platform::DeviceReply;
using platform::DiocRegisters;
using platform::kInvalidVolumeHandle;
using platform::ScriptedVolumeIo;

TEST(ScriptedVolumeIo, OnlyKnownDevicesOpenAndFailuresSetTheLastError) {
  ScriptedVolumeIo io;
  io.AddDevice("\\\\.\\F:");
  io.FailOpen("\\\\.\\G:", 32);
  EXPECT_NE(kInvalidVolumeHandle, io.CreateFileA("\\\\.\\f:", 0, 3, 3, 0));
  EXPECT_EQ(kInvalidVolumeHandle, io.CreateFileA("\\\\.\\G:", 0, 3, 3, 0));
  EXPECT_EQ(32u, io.GetLastError());
  EXPECT_EQ(kInvalidVolumeHandle, io.CreateFileA("\\\\.\\H:", 0, 3, 3, 0));
  EXPECT_EQ(2u, io.GetLastError());
  EXPECT_EQ(1u, io.OpenHandles().size());
}

TEST(ScriptedVolumeIo, RightsNotGrantedAreDeniedAndControlCodesNeedTheirAccess) {
  ScriptedVolumeIo io;
  io.AddDevice("\\\\.\\F:");
  io.GrantAccess("\\\\.\\F:", platform::kAccessGenericRead);
  EXPECT_EQ(kInvalidVolumeHandle, io.CreateFileA("\\\\.\\F:", 0xC0000000u, 3, 3, 0));
  EXPECT_EQ(5u, io.GetLastError());
  const platform::VolumeHandle device = io.CreateFileA("\\\\.\\F:", 0, 3, 3, 0);
  const platform::VolumeHandle reader = io.CreateFileA("\\\\.\\F:", 0x80000000u, 3, 3, 0);
  uint32_t returned = 0;
  // FSCTL_LOCK_VOLUME is FILE_ANY_ACCESS; IOCTL_STORAGE_EJECT_MEDIA is FILE_READ_ACCESS.
  EXPECT_EQ(1, io.DeviceIoControl(device, platform::kFsctlLockVolume, nullptr, 0, nullptr, 0,
                                  &returned));
  EXPECT_EQ(0, io.DeviceIoControl(device, platform::kIoctlStorageEjectMedia, nullptr, 0, nullptr,
                                  0, &returned));
  EXPECT_EQ(5u, io.GetLastError());
  EXPECT_EQ(1, io.DeviceIoControl(reader, platform::kIoctlStorageEjectMedia, nullptr, 0, nullptr,
                                  0, &returned));
}

TEST(ScriptedVolumeIo, RequestsOnAClosedHandleFailWithInvalidHandle) {
  ScriptedVolumeIo io;
  io.AddDevice("\\\\.\\F:");
  platform::VolumeHandle handle = io.CreateFileA("\\\\.\\F:", 0, 3, 3, 0);
  uint32_t returned = 0;
  EXPECT_EQ(1, io.CloseHandle(handle));
  EXPECT_EQ(0, io.DeviceIoControl(handle, platform::kFsctlLockVolume, nullptr, 0, nullptr, 0,
                                  &returned));
  EXPECT_EQ(6u, io.GetLastError());
  EXPECT_EQ(0, io.CloseHandle(handle));
}

TEST(ScriptedVolumeIo, RepliesAreUsedInOrderThenTheDefault) {
  ScriptedVolumeIo io;
  io.AddDevice("x");
  platform::ScopedVolumeHandle handle(io, io.CreateFileA("x", 0, 0, 0, 0));
  io.Script(platform::kFsctlLockVolume, DeviceReply::Failure(5), 2);
  uint32_t returned = 0;
  auto lock = [&] {
    return io.DeviceIoControl(handle.Get(), platform::kFsctlLockVolume, nullptr, 0, nullptr, 0,
                              &returned);
  };
  EXPECT_EQ(0, lock());
  EXPECT_EQ(0, lock());
  EXPECT_EQ(1, lock());
  io.SetDefault(platform::kFsctlLockVolume, DeviceReply::Failure(1));
  EXPECT_EQ(0, lock());
  EXPECT_EQ(1u, io.GetLastError());
}

TEST(ScriptedVolumeIo, DosRepliesSetCarryAndEaxAndTheLockCountAtTheAddressInEdx) {
  ScriptedVolumeIo io;
  io.AddDevice("\\\\.\\vwin32");
  platform::ScopedVolumeHandle device(io, io.CreateFileA("\\\\.\\vwin32", 0, 3, 0, 0));
  uint8_t block[2] = {2, 0};
  DiocRegisters registers;
  registers.ecx = 0x0848;
  registers.edx = io.BufferAddress(block, sizeof block);
  registers.eax = 0x440D;
  io.ScriptDos(0x0848, DeviceReply::Locks(4));
  io.ScriptDos(0x0848, DeviceReply::DosError(0xB0));
  uint32_t returned = 0;
  EXPECT_EQ(1, io.DeviceIoControl(device.Get(), 1, &registers, 28, &registers, 28, &returned));
  EXPECT_EQ(28u, returned);
  EXPECT_EQ(4u, block[1]);
  EXPECT_EQ(0u, registers.flags & 1);
  EXPECT_EQ(1, io.DeviceIoControl(device.Get(), 1, &registers, 28, &registers, 28, &returned));
  EXPECT_EQ(1u, registers.flags & 1);
  EXPECT_EQ(0xB0u, registers.eax);
  // The log keeps the block as it was when each request was sent.
  ASSERT_EQ(2u, io.DosFunctions().size());
  EXPECT_EQ((std::vector<uint8_t>{2, 0}), io.CallsOf(platform::VolumeCall::Kind::kDeviceIoControl)[0].parameterBlock);
  EXPECT_EQ((std::vector<uint8_t>{2, 4}), io.CallsOf(platform::VolumeCall::Kind::kDeviceIoControl)[1].parameterBlock);
  // A block shorter than DIOC_REGISTERS is refused.
  EXPECT_EQ(0, io.DeviceIoControl(device.Get(), 1, &registers, 27, &registers, 28, &returned));
  EXPECT_EQ(87u, io.GetLastError());
}

}  // namespace
