#include "tavrik/nt_ejector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/twin/twin_system.h"
#include "platform/twin/twin_volume_io.h"

namespace {

using platform::DeviceReply;
using platform::ScriptedVolumeIo;
using platform::VolumeCall;

constexpr uint32_t kLock = 0x00090018u;
constexpr uint32_t kDismount = 0x00090020u;
constexpr uint32_t kMediaRemoval = 0x002D4804u;
constexpr uint32_t kEject = 0x002D4808u;

class NtEjectorTest : public testing::Test {
 protected:
  NtEjectorTest() {
    system.SetDrive('F', platform::kDriveRemovable);
    io.AddDevice("\\\\.\\F:");
  }

  std::vector<VolumeCall::Kind> Kinds() const {
    std::vector<VolumeCall::Kind> kinds;
    for (const VolumeCall& call : io.Calls()) kinds.push_back(call.kind);
    return kinds;
  }
  // Every DeviceIoControl and the close went to the handle CreateFileA returned.
  void ExpectOneHandleUsedAndClosed() const {
    ASSERT_FALSE(io.Calls().empty());
    const platform::VolumeHandle handle = io.Calls().front().handle;
    for (const VolumeCall& call : io.Calls()) EXPECT_EQ(handle, call.handle);
    EXPECT_EQ(VolumeCall::Kind::kCloseHandle, io.Calls().back().kind);
    EXPECT_EQ(1u, io.CallsOf(VolumeCall::Kind::kCloseHandle).size());
    EXPECT_TRUE(io.OpenHandles().empty());
  }

  ScriptedVolumeIo io;
  platform::ScriptedSystem system;
  CNtEjector ejector{io, system};
};

const std::string kInUseF =
    " F: ドライブは他のアプリケーションによって使用中です。そのため、イジェクトすることができません\n";
const std::string kWrongType = "イジェクトすることができません。ドライブタイプは正しくありません。\n";

TEST_F(NtEjectorTest, RemovableDriveIsLockedDismountedReleasedEjectedAndClosed) {
  EXPECT_EQ(1, ejector.Eject('F'));
  EXPECT_EQ("ドライブ F のメディアが安全にイジェクトされました。\n", ejector.m_strResult);
  EXPECT_EQ("", ejector.m_strError);

  using K = VolumeCall::Kind;
  EXPECT_EQ((std::vector<K>{K::kCreateFile, K::kDeviceIoControl, K::kDeviceIoControl,
                            K::kDeviceIoControl, K::kDeviceIoControl, K::kCloseHandle}),
            Kinds());
  const VolumeCall& open = io.Calls()[0];
  EXPECT_EQ("\\\\.\\F:", open.path);
  EXPECT_EQ(0xC0000000u, open.access);  // GENERIC_READ | GENERIC_WRITE
  EXPECT_EQ(3u, open.share);            // FILE_SHARE_READ | FILE_SHARE_WRITE
  EXPECT_EQ(3u, open.creation);         // OPEN_EXISTING
  EXPECT_EQ(0u, open.flags);
  EXPECT_EQ((std::vector<uint32_t>{kLock, kDismount, kMediaRemoval, kEject}), io.ControlCodes());

  // PREVENT_MEDIA_REMOVAL with PreventMediaRemoval = FALSE, one byte, no output buffer.
  const VolumeCall& removal = io.Calls()[3];
  EXPECT_EQ(std::vector<uint8_t>{0}, removal.input);
  EXPECT_EQ(1u, removal.inSize);
  EXPECT_FALSE(removal.hasOutput);
  for (size_t i : {1u, 2u, 4u}) {
    EXPECT_EQ(0u, io.Calls()[i].inSize);
    EXPECT_FALSE(io.Calls()[i].hasOutput);
  }
  EXPECT_EQ(0u, system.SleepCalls());
  ExpectOneHandleUsedAndClosed();
}

TEST_F(NtEjectorTest, CdromDriveIsOpenedForReadingOnlyAndTakesTheSameSteps) {
  system.SetDrive('Q', platform::kDriveCdrom);
  io.AddDevice("\\\\.\\Q:");
  EXPECT_EQ(1, ejector.Eject('Q'));
  EXPECT_EQ(0x80000000u, io.Calls()[0].access);
  EXPECT_EQ((std::vector<uint32_t>{kLock, kDismount, kMediaRemoval, kEject}), io.ControlCodes());
  EXPECT_EQ("ドライブ Q のメディアが安全にイジェクトされました。\n", ejector.m_strResult);
  ExpectOneHandleUsedAndClosed();
}

TEST_F(NtEjectorTest, DriveOfAnotherTypeFailsWithoutOpeningAnything) {
  const unsigned types[] = {platform::kDriveFixed, platform::kDriveRemote,
                            platform::kDriveNoRootDir, platform::kDriveUnknown,
                            platform::kDriveRamdisk};
  for (unsigned type : types) {
    SCOPED_TRACE(type);
    system.SetDrive('C', type);
    io.AddDevice("\\\\.\\C:");
    ejector.m_strError.clear();
    EXPECT_EQ(0, ejector.Eject('C'));
    EXPECT_EQ(kWrongType, ejector.m_strError);
    EXPECT_TRUE(io.Calls().empty());
  }
}

TEST_F(NtEjectorTest, CharacterThatIsNoDriveLetterNeverReachesTheDevice) {
  for (char letter : {'1', '\0', ':', '\\', '@', '[', '`', '{', '\x83'}) {
    SCOPED_TRACE(static_cast<int>(letter));
    EXPECT_EQ(0, ejector.Eject(letter));
    EXPECT_EQ(kWrongType, ejector.m_strError);
  }
  EXPECT_TRUE(io.Calls().empty());
}

TEST_F(NtEjectorTest, VolumeThatCannotBeOpenedReportsTheLastError) {
  io.FailOpen("\\\\.\\F:", 32);  // ERROR_SHARING_VIOLATION
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ("Error 32: CreateFile\n", ejector.m_strError);
  ASSERT_EQ(1u, io.Calls().size());
  EXPECT_EQ(VolumeCall::Kind::kCreateFile, io.Calls()[0].kind);
  EXPECT_EQ(0u, io.HandlesOpened());
}

TEST_F(NtEjectorTest, ALimitedAccountRefusedWriteAccessEjectsWithReadAccess) {
  io.GrantAccess("\\\\.\\F:", platform::kAccessGenericRead);
  EXPECT_EQ(1, ejector.Eject('F'));
  EXPECT_EQ("ドライブ F のメディアが安全にイジェクトされました。\n", ejector.m_strResult);
  const std::vector<VolumeCall> opens = io.CallsOf(VolumeCall::Kind::kCreateFile);
  ASSERT_EQ(2u, opens.size());
  EXPECT_EQ(0xC0000000u, opens[0].access);
  EXPECT_EQ(0x80000000u, opens[1].access);  // GENERIC_READ alone
  EXPECT_EQ((std::vector<uint32_t>{kLock, kDismount, kMediaRemoval, kEject}), io.ControlCodes());
  EXPECT_EQ(1u, io.HandlesOpened());
  EXPECT_TRUE(io.OpenHandles().empty());
}

TEST_F(NtEjectorTest, AVolumeThatRefusesAllAccessReportsTheLastErrorOfCreateFile) {
  io.GrantAccess("\\\\.\\F:", 0);
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ("Error 5: CreateFile\n", ejector.m_strError);  // ERROR_ACCESS_DENIED
  EXPECT_EQ(2u, io.CallsOf(VolumeCall::Kind::kCreateFile).size());
  EXPECT_EQ(0u, io.HandlesOpened());
  // Read access alone is not asked twice: a CD-ROM drive opens once.
  system.SetDrive('Q', platform::kDriveCdrom);
  io.AddDevice("\\\\.\\Q:");
  io.GrantAccess("\\\\.\\Q:", 0);
  EXPECT_EQ(0, ejector.Eject('Q'));
  EXPECT_EQ(3u, io.CallsOf(VolumeCall::Kind::kCreateFile).size());
}

TEST_F(NtEjectorTest, VolumeInUseIsTriedTwentyTimes75MsApartThenClosed) {
  io.SetDefault(kLock, DeviceReply::Failure(5));
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ(kInUseF, ejector.m_strError);
  EXPECT_EQ(std::vector<uint32_t>(20, kLock), io.ControlCodes());
  // A sleep after every failed attempt: 20 x 75 ms.
  EXPECT_EQ(20u, system.SleepCalls());
  EXPECT_EQ(1500u, system.SleptMilliseconds());
  ExpectOneHandleUsedAndClosed();
}

TEST_F(NtEjectorTest, LockTakenAtTheLastAttemptGoesOn) {
  io.Script(kLock, DeviceReply::Failure(5), 19);
  EXPECT_EQ(1, ejector.Eject('F'));
  std::vector<uint32_t> expected(20, kLock);
  expected.insert(expected.end(), {kDismount, kMediaRemoval, kEject});
  EXPECT_EQ(expected, io.ControlCodes());
  EXPECT_EQ(19u, system.SleepCalls());
  ExpectOneHandleUsedAndClosed();
}

TEST_F(NtEjectorTest, DismountFailureIsReportedAndTheVolumeClosed) {
  io.Script(kDismount, DeviceReply::Failure(5));
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ(" F: ドライブをディスマウントできません.\n", ejector.m_strError);
  EXPECT_EQ((std::vector<uint32_t>{kLock, kDismount}), io.ControlCodes());
  ExpectOneHandleUsedAndClosed();
}

TEST_F(NtEjectorTest, RefusedRemovalReleaseIsReportedAndTheVolumeClosed) {
  io.Script(kMediaRemoval, DeviceReply::Failure(1));
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ(" F: ドライブのPreventRemovalOfVolumeができません.\n", ejector.m_strError);
  EXPECT_EQ((std::vector<uint32_t>{kLock, kDismount, kMediaRemoval}), io.ControlCodes());
  ExpectOneHandleUsedAndClosed();
}

TEST_F(NtEjectorTest, DriveThatRefusesToEjectStillSucceedsWithTheRemoveByHandText) {
  io.Script(kEject, DeviceReply::Failure(1));
  EXPECT_EQ(1, ejector.Eject('F'));
  EXPECT_EQ("ドライブ F のメディアを安全に取り去ることができます。\n", ejector.m_strResult);
  ExpectOneHandleUsedAndClosed();
}

TEST_F(NtEjectorTest, FailedCloseIsReportedAsFailureAndNotRetried) {
  io.FailNextClose(6);
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ(" F: ドライブをクローズできません.\n", ejector.m_strError);
  EXPECT_EQ(1u, io.CallsOf(VolumeCall::Kind::kCloseHandle).size());
}

TEST_F(NtEjectorTest, LowerCaseLetterIsUsedAsGiven) {
  EXPECT_EQ(1, ejector.Eject('f'));
  EXPECT_EQ("\\\\.\\f:", io.Calls()[0].path);
  EXPECT_EQ("ドライブ f のメディアが安全にイジェクトされました。\n", ejector.m_strResult);
}

TEST_F(NtEjectorTest, FailureKeepsTheEarlierResultTextAndSuccessTheEarlierError) {
  EXPECT_EQ(1, ejector.Eject('F'));
  io.Script(kDismount, DeviceReply::Failure(5));
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ("ドライブ F のメディアが安全にイジェクトされました。\n", ejector.m_strResult);
  EXPECT_EQ(" F: ドライブをディスマウントできません.\n", ejector.m_strError);
  EXPECT_TRUE(io.OpenHandles().empty());
}

}  // namespace
