// Which programs hold a drive, and how an eject failure names them.
#include "tavrik/drive_holders.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "platform/twin/twin_processes.h"
#include "platform/worker_thread.h"

namespace {

using platform::ScriptedProcesses;

std::vector<uint32_t> Ids(const std::vector<CDriveHolder>& holders) {
  std::vector<uint32_t> ids;
  for (const CDriveHolder& holder : holders) ids.push_back(holder.m_nProcessId);
  return ids;
}

TEST(DriveHolders, FilesFoldersAndTheVolumeOnTheDriveAndNothingElse) {
  ScriptedProcesses processes;
  processes.SetDriveDevice('F', "\\Device\\HarddiskVolume5");
  processes.AddProcess(400, "C:\\WINDOWS\\explorer.exe");
  processes.AddProcess(408, "notepad.exe");
  processes.AddProcess(412, "photo.exe");
  processes.AddProcess(416, "backup.exe");
  processes.AddProcess(420, "viewer.exe");
  processes.AddDiskFile(400, 0x10, "\\Device\\HarddiskVolume1\\WINDOWS");
  processes.AddDiskFile(400, 0x14, "\\Device\\HarddiskVolume5\\DCIM");  // a folder
  processes.AddDiskFile(408, 0x20, "\\Device\\HarddiskVolume5\\memo.txt");
  processes.AddDiskFile(412, 0x30, "\\Device\\HarddiskVolume5");  // the volume itself
  // Another volume whose name begins with this one's, and a name that only starts alike.
  processes.AddDiskFile(416, 0x40, "\\Device\\HarddiskVolume50\\backup.dat");
  processes.AddDiskFile(416, 0x44, "\\??\\F:x");
  // Wine names files by their DOS path, in the case it was opened with.
  processes.AddDiskFile(420, 0x50, "\\??\\f:\\DCIM\\0001.JPG");
  std::vector<CDriveHolder> holders;
  ASSERT_TRUE(FindDriveHolders(processes, 'F', holders));
  EXPECT_EQ((std::vector<uint32_t>{400, 408, 412, 420}), Ids(holders));
  EXPECT_EQ("explorer.exe", holders[0].m_strProgram);
  EXPECT_EQ("viewer.exe", holders[3].m_strProgram);
}

TEST(DriveHolders, OnlyFileHandlesAreOfferedAndPipesAreNeverNamed) {
  ScriptedProcesses processes;
  processes.AddProcess(500, "server.exe");
  processes.AddOther(500, 0x08, ScriptedProcesses::kEventType, "\\??\\G:\\event");
  processes.AddPipe(500, 0x0C, "\\??\\G:\\pipe");
  std::vector<CDriveHolder> holders;
  ASSERT_TRUE(FindDriveHolders(processes, 'G', holders));
  EXPECT_TRUE(holders.empty());
  EXPECT_EQ((std::vector<std::pair<uint32_t, uint32_t>>{{500, 0x0C}}), processes.Offered());
}

TEST(DriveHolders, AProcessIsNamedOnceAndItsOtherHandlesAreLeftAlone) {
  ScriptedProcesses processes;
  processes.AddProcess(600, "copy.exe");
  for (uint32_t handle = 4; handle <= 40; handle += 4)
    processes.AddDiskFile(600, handle, "\\??\\H:\\file" + std::to_string(handle));
  std::vector<CDriveHolder> holders;
  ASSERT_TRUE(FindDriveHolders(processes, 'H', holders));
  EXPECT_EQ(1u, holders.size());
  EXPECT_EQ(1u, processes.Offered().size());
}

// Releases the blocked files after ten seconds unless the test has ended first, so that a
// lookup that waits on them fails the test instead of hanging it.
struct Watchdog {
  explicit Watchdog(ScriptedProcesses& processes)
      : ended(std::make_shared<std::atomic<bool>>(false)),
        thread([ended = ended, &processes] {
          for (int ms = 0; ms < 10000 && !*ended; ++ms) platform::SleepMilliseconds(1);
          if (!*ended) processes.ReleaseBlockedFiles();
        }) {}
  ~Watchdog() {
    *ended = true;
    thread.Wait(60000);
  }
  std::shared_ptr<std::atomic<bool>> ended;
  platform::WorkerThread thread;
};

TEST(DriveHolders, AHandleWhoseQuestionsBlockIsPassedOverAndTheOthersAreNamed) {
  // Asking about a file object waits while another program's synchronous request is pending
  // on it, on real Windows possibly for good.
  ScriptedProcesses processes;
  processes.AddProcess(700, "reader.exe");
  processes.AddBlockingDiskFile(700, 0x10, "\\??\\F:\\stream");
  processes.AddDiskFile(700, 0x14, "\\??\\F:\\a.txt");  // after the stuck one
  processes.AddProcess(704, "stuck.exe");
  processes.AddBlockingDiskFile(704, 0x20, "\\??\\F:\\b");
  processes.AddProcess(708, "viewer.exe");
  processes.AddDiskFile(708, 0x30, "\\??\\F:\\c.jpg");
  Watchdog watchdog(processes);
  std::vector<CDriveHolder> holders;
  const uint32_t start = platform::TickCount();
  ASSERT_TRUE(FindDriveHolders(processes, 'F', holders));
  const uint32_t spent = platform::TickCount() - start;
  EXPECT_EQ((std::vector<uint32_t>{700, 708}), Ids(holders));
  // Two handles passed over at 100 to 200 ms each; only a gross miss of the lookup's 2 s fails.
  EXPECT_LT(spent, 20000u);
}

TEST(DriveHolders, TheLookupGivesUpAfterFourStuckWorkers) {
  ScriptedProcesses processes;
  for (uint32_t id = 800; id < 806; ++id) {
    processes.AddProcess(id, "stuck.exe");
    processes.AddBlockingDiskFile(id, 0x10, "\\??\\G:\\stream");
  }
  processes.AddProcess(900, "viewer.exe");
  processes.AddDiskFile(900, 0x30, "\\??\\G:\\c.jpg");
  Watchdog watchdog(processes);
  std::vector<CDriveHolder> holders;
  ASSERT_TRUE(FindDriveHolders(processes, 'G', holders));
  EXPECT_TRUE(holders.empty());
  EXPECT_EQ(4u, processes.Offered().size());
}

TEST(DriveHolders, NoHandleListOrNoDriveLetterFindsNothing) {
  ScriptedProcesses processes;
  processes.AddProcess(700, "explorer.exe");
  processes.AddDiskFile(700, 0x10, "\\??\\F:\\DCIM");
  std::vector<CDriveHolder> holders{{"stale.exe", 1}};
  EXPECT_FALSE(FindDriveHolders(processes, '1', holders));
  EXPECT_TRUE(holders.empty());
  processes.SetUnavailable();  // Windows 9x
  EXPECT_FALSE(FindDriveHolders(processes, 'F', holders));
  EXPECT_TRUE(holders.empty());
}

TEST(DriveHolders, AProcessThatHasGoneIsNamedByItsIdAlone) {
  ScriptedProcesses processes;
  processes.AddDiskFile(800, 0x10, "\\??\\F:\\a.txt");
  std::vector<CDriveHolder> holders;
  ASSERT_TRUE(FindDriveHolders(processes, 'F', holders));
  ASSERT_EQ(1u, holders.size());
  EXPECT_EQ("(PID 800)", DriveHolderLine(holders[0]));
}

TEST(DriveHoldersText, TenLinesThenTheCountOfTheRest) {
  std::vector<CDriveHolder> holders;
  EXPECT_EQ("", DriveHoldersText(holders));
  for (uint32_t i = 1; i <= 10; ++i) holders.push_back({"p" + std::to_string(i) + ".exe", i});
  std::string ten = "使用中のプログラム:\n";
  for (uint32_t i = 1; i <= 10; ++i)
    ten += "p" + std::to_string(i) + ".exe (PID " + std::to_string(i) + ")\n";
  EXPECT_EQ(ten, DriveHoldersText(holders));
  holders.push_back({"p11.exe", 11});
  holders.push_back({"p12.exe", 12});
  EXPECT_EQ(ten + "ほか 2 件\n", DriveHoldersText(holders));  // 12 found - 10 shown = 2
}

}  // namespace
