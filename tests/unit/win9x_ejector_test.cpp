#include "tavrik/win9x_ejector.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/twin/twin_system.h"
#include "platform/twin/twin_volume_io.h"

namespace {

using platform::DeviceReply;
using platform::ScriptedVolumeIo;
using platform::VolumeCall;

// DOS functions of the generic IOCTL (CX).
constexpr uint32_t kOpenFiles = 0x486D;
constexpr uint32_t kLock32 = 0x484A;
constexpr uint32_t kLock = 0x084A;
constexpr uint32_t kUnlock32 = 0x486A;
constexpr uint32_t kUnlock = 0x086A;
constexpr uint32_t kMediaLock = 0x0848;
constexpr uint32_t kEject = 0x0849;

constexpr uint32_t kDosNoMoreFiles = 0x12;

const std::string kInUseF =
    "'リムーバブルディスク(F:)'がもう１つのアプリケーションによって使用中です。\n"
    "そのボリュームからファイルやウィンドウが開いてないか確認してください。\n";
const std::string kEjectedF = "'リムーバブルディスク(F:)'のメディアをイジェクトしました。\n";
const std::string kCannotEjectF =
    "'リムーバブルディスク(F:)' からメディアを排出することができませんでした。\n"
    "ボリュームのファイルが使用中でないか確認をしてください。\n";

class Win9xEjectorTest : public testing::Test {
 protected:
  Win9xEjectorTest() {
    io.AddDevice("\\\\.\\vwin32");
    // No file open on the volume: the enumeration finds none.
    io.SetDosDefault(kOpenFiles, DeviceReply::DosError(kDosNoMoreFiles));
  }

  std::vector<VolumeCall> Requests() const {
    return io.CallsOf(VolumeCall::Kind::kDeviceIoControl);
  }
  void ExpectDeviceClosed() const {
    EXPECT_EQ(1u, io.HandlesOpened());
    EXPECT_EQ(VolumeCall::Kind::kCloseHandle, io.Calls().back().kind);
    EXPECT_TRUE(io.OpenHandles().empty());
  }

  ScriptedVolumeIo io;
  platform::ScriptedSystem system;
  CWin9xEjector ejector{io, system};
};

TEST_F(Win9xEjectorTest, ReadyVolumeIsLockedReleasedEjectedUnlockedAndClosed) {
  EXPECT_EQ(1, ejector.Eject('F'));
  EXPECT_EQ(kEjectedF, ejector.m_strResult);
  EXPECT_EQ("", ejector.m_strError);
  EXPECT_EQ((std::vector<uint32_t>{kOpenFiles, kLock32, kMediaLock, kEject, kUnlock32}),
            io.DosFunctions());

  const VolumeCall& open = io.Calls().front();
  EXPECT_EQ(VolumeCall::Kind::kCreateFile, open.kind);
  EXPECT_EQ("\\\\.\\vwin32", open.path);
  EXPECT_EQ(0u, open.access);
  EXPECT_EQ(3u, open.share);
  EXPECT_EQ(0u, open.creation);
  EXPECT_EQ(0x04000000u, open.flags);  // FILE_FLAG_DELETE_ON_CLOSE

  // Every request: VWIN32_DIOC_DOS_IOCTL, the 28-byte block in and out, AX 440Dh, BL = 6 (F).
  for (const VolumeCall& request : Requests()) {
    EXPECT_EQ(open.handle, request.handle);
    EXPECT_EQ(1u, request.code);
    EXPECT_EQ(28u, request.inSize);
    EXPECT_EQ(28u, request.outSize);
    EXPECT_EQ(0x440Du, request.registers.eax);
    EXPECT_EQ(6u, request.registers.ebx & 0xFF);
    EXPECT_EQ(0u, request.registers.flags);
  }
  const std::vector<VolumeCall> requests = Requests();
  // Open files: BH 3, a zeroed 260-byte path buffer in EDX, file index 0, all files.
  EXPECT_EQ(0x0306u, requests[0].registers.ebx);
  EXPECT_EQ(std::vector<uint8_t>(260, 0), requests[0].parameterBlock);
  EXPECT_EQ(0u, requests[0].registers.esi);
  EXPECT_EQ(0u, requests[0].registers.edi);
  // Lock: lock level 0, no permissions.
  EXPECT_EQ(6u, requests[1].registers.ebx);
  EXPECT_EQ(0u, requests[1].registers.edx);
  // Media lock status: operation 2 in a two-byte block.
  EXPECT_EQ((std::vector<uint8_t>{2, 0}), requests[2].parameterBlock);
  EXPECT_EQ(6u, requests[3].registers.ebx);
  EXPECT_EQ(6u, requests[4].registers.ebx);
  EXPECT_EQ(0u, system.SleepCalls());
  ExpectDeviceClosed();
}

TEST_F(Win9xEjectorTest, OpenFileGivesTheInUseTextWithoutAnyLockAttempt) {
  io.ScriptDos(kOpenFiles, DeviceReply::Success());
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ(kInUseF, ejector.m_strError);
  EXPECT_EQ("", ejector.m_strResult);
  EXPECT_EQ((std::vector<uint32_t>{kOpenFiles, kUnlock32}), io.DosFunctions());
  EXPECT_EQ(0u, system.SleepCalls());
  ExpectDeviceClosed();
}

TEST_F(Win9xEjectorTest, LockFallsBackToTheOlderCategoryAfterTwentyAttempts) {
  io.ScriptDos(kLock32, DeviceReply::DosError(5), 20);
  io.ScriptDos(kLock, DeviceReply::DosError(5), 3);
  EXPECT_EQ(1, ejector.Eject('F'));
  std::vector<uint32_t> expected{kOpenFiles};
  expected.insert(expected.end(), 20, kLock32);
  expected.insert(expected.end(), 4, kLock);
  expected.insert(expected.end(), {kMediaLock, kEject, kUnlock32});
  EXPECT_EQ(expected, io.DosFunctions());
  EXPECT_EQ(23u, system.SleepCalls());
  EXPECT_EQ(230u, system.SleptMilliseconds());
  ExpectDeviceClosed();
}

TEST_F(Win9xEjectorTest, VolumeThatNeverLocksIsInUseAfterFortyAttempts10MsApart) {
  io.SetDosDefault(kLock32, DeviceReply::DosError(5));
  io.SetDosDefault(kLock, DeviceReply::Failure(1));  // DeviceIoControl itself failing counts too
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ(kInUseF, ejector.m_strError);
  std::vector<uint32_t> expected{kOpenFiles};
  expected.insert(expected.end(), 20, kLock32);
  expected.insert(expected.end(), 20, kLock);
  expected.push_back(kUnlock32);
  EXPECT_EQ(expected, io.DosFunctions());
  EXPECT_EQ(40u, system.SleepCalls());
  EXPECT_EQ(400u, system.SleptMilliseconds());
  ExpectDeviceClosed();
}

TEST_F(Win9xEjectorTest, StatusErrorsNotLockedAndInvalidFunctionMeanNoLockHeld) {
  for (uint32_t dosError : {0xB0u, 1u}) {
    SCOPED_TRACE(dosError);
    ScriptedVolumeIo device;
    device.AddDevice("\\\\.\\vwin32");
    device.SetDosDefault(kOpenFiles, DeviceReply::DosError(kDosNoMoreFiles));
    device.ScriptDos(kMediaLock, DeviceReply::DosError(dosError));
    CWin9xEjector engine(device, system);
    EXPECT_EQ(1, engine.Eject('F'));
    EXPECT_EQ(kEjectedF, engine.m_strResult);
    EXPECT_EQ((std::vector<uint32_t>{kOpenFiles, kLock32, kMediaLock, kEject, kUnlock32}),
              device.DosFunctions());
  }
}

TEST_F(Win9xEjectorTest, OtherStatusErrorFailsSilentlyAfterUnlockingTheVolume) {
  io.ScriptDos(kMediaLock, DeviceReply::DosError(0x0F));  // invalid drive
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ("", ejector.m_strError);
  EXPECT_EQ("", ejector.m_strResult);
  EXPECT_EQ((std::vector<uint32_t>{kOpenFiles, kLock32, kMediaLock, kUnlock32}),
            io.DosFunctions());
  ExpectDeviceClosed();
}

TEST_F(Win9xEjectorTest, FailedStatusCallFailsSilently) {
  io.ScriptDos(kMediaLock, DeviceReply::Failure(50));
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ("", ejector.m_strError);
  EXPECT_EQ((std::vector<uint32_t>{kOpenFiles, kLock32, kMediaLock, kUnlock32}),
            io.DosFunctions());
  ExpectDeviceClosed();
}

TEST_F(Win9xEjectorTest, EveryMediaLockIsReleasedWhenEachReplyCountsDown) {
  // Three locks held; each unlock reply reports what is left (2, 1, 0). All three are
  // released, not only as many as the shrinking count still exceeds the unlocks done.
  io.ScriptDos(kMediaLock, DeviceReply::Locks(3));
  io.ScriptDos(kMediaLock, DeviceReply::Locks(2));
  io.ScriptDos(kMediaLock, DeviceReply::Locks(1));
  io.ScriptDos(kMediaLock, DeviceReply::Locks(0));
  EXPECT_EQ(1, ejector.Eject('F'));
  EXPECT_EQ((std::vector<uint32_t>{kOpenFiles, kLock32, kMediaLock, kMediaLock, kMediaLock,
                                   kMediaLock, kEject, kUnlock32}),
            io.DosFunctions());
  const std::vector<VolumeCall> requests = Requests();
  EXPECT_EQ(2u, requests[2].parameterBlock[0]);  // status
  for (size_t i = 3; i <= 5; ++i) {
    EXPECT_EQ(1u, requests[i].parameterBlock[0]) << i;  // unlock
    EXPECT_EQ(requests[2].registers.edx, requests[i].registers.edx);
  }
  EXPECT_EQ(3u, requests[3].parameterBlock[1]);  // the count as the status left it
  ExpectDeviceClosed();
}

TEST_F(Win9xEjectorTest, UnlocksAsManyTimesAsTheStatusCountedWhenRepliesKeepTheCount) {
  io.ScriptDos(kMediaLock, DeviceReply::Locks(2));  // unlock replies leave byte 1 alone
  EXPECT_EQ(1, ejector.Eject('F'));
  EXPECT_EQ((std::vector<uint32_t>{kOpenFiles, kLock32, kMediaLock, kMediaLock, kMediaLock,
                                   kEject, kUnlock32}),
            io.DosFunctions());
}

TEST_F(Win9xEjectorTest, FailingUnlockFailsSilently) {
  io.ScriptDos(kMediaLock, DeviceReply::Locks(2));
  io.ScriptDos(kMediaLock, DeviceReply::DosError(0xB0));
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ("", ejector.m_strError);
  EXPECT_EQ((std::vector<uint32_t>{kOpenFiles, kLock32, kMediaLock, kMediaLock, kUnlock32}),
            io.DosFunctions());
  ExpectDeviceClosed();
}

TEST_F(Win9xEjectorTest, RefusedEjectIsReportedAfterUnlocking) {
  io.ScriptDos(kEject, DeviceReply::DosError(0x32));
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ(kCannotEjectF, ejector.m_strError);
  EXPECT_EQ("", ejector.m_strResult);
  EXPECT_EQ((std::vector<uint32_t>{kOpenFiles, kLock32, kMediaLock, kEject, kUnlock32}),
            io.DosFunctions());
  ExpectDeviceClosed();
}

TEST_F(Win9xEjectorTest, UnlockFallsBackToTheOlderCategory) {
  io.ScriptDos(kUnlock32, DeviceReply::DosError(1));
  EXPECT_EQ(1, ejector.Eject('F'));
  EXPECT_EQ((std::vector<uint32_t>{kOpenFiles, kLock32, kMediaLock, kEject, kUnlock32, kUnlock}),
            io.DosFunctions());
  EXPECT_EQ(6u, Requests().back().registers.ebx);
  ExpectDeviceClosed();
}

TEST_F(Win9xEjectorTest, WithoutTheDeviceEveryRequestFailsAndTheVolumeCountsAsInUse) {
  io.FailOpen("\\\\.\\vwin32", 2);
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ(kInUseF, ejector.m_strError);
  ASSERT_EQ(1u, io.Calls().size());  // nothing is sent to a handle that was never opened
  EXPECT_EQ(VolumeCall::Kind::kCreateFile, io.Calls()[0].kind);
  EXPECT_EQ(40u, system.SleepCalls());
}

TEST_F(Win9xEjectorTest, CharacterThatIsNoDriveLetterNeverReachesTheDevice) {
  EXPECT_EQ(0, ejector.Eject('1'));
  EXPECT_EQ(
      "'リムーバブルディスク(1:)'がもう１つのアプリケーションによって使用中です。\n"
      "そのボリュームからファイルやウィンドウが開いてないか確認してください。\n",
      ejector.m_strError);
  // A NUL ends the text where it stands, as it would in wsprintfA's buffer.
  EXPECT_EQ(0, ejector.Eject('\0'));
  EXPECT_EQ("'リムーバブルディスク(", ejector.m_strError);
  EXPECT_EQ(0, ejector.Eject('['));  // 'Z' + 1
  EXPECT_TRUE(io.Calls().empty());
}

TEST_F(Win9xEjectorTest, LowerCaseLetterGivesTheSameDriveNumber) {
  EXPECT_EQ(1, ejector.Eject('a'));
  for (const VolumeCall& request : Requests()) EXPECT_EQ(1u, request.registers.ebx & 0xFF);
  EXPECT_EQ("'リムーバブルディスク(a:)'のメディアをイジェクトしました。\n", ejector.m_strResult);
}

TEST_F(Win9xEjectorTest, BothTextsAreEmptiedAtTheStartOfEachCall) {
  io.ScriptDos(kEject, DeviceReply::DosError(0x32));
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ(1, ejector.Eject('F'));
  EXPECT_EQ("", ejector.m_strError);
  io.ScriptDos(kMediaLock, DeviceReply::DosError(0x0F));
  EXPECT_EQ(0, ejector.Eject('F'));
  EXPECT_EQ("", ejector.m_strResult);
  EXPECT_EQ("", ejector.m_strError);
  EXPECT_TRUE(io.OpenHandles().empty());
}

}  // namespace
