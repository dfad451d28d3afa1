#include "settings/LogFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "../support/TempDir.h"

namespace {

TEST(LogFileTest, TwoRunsAtOnceNeverWriteIntoOneFile) {
  TempDir dir;
  dir.Write("KfRcCmd.log", "old\n");
  ASSERT_EQ(chmod(dir.Native("KfRcCmd.log").c_str(), 0640), 0);
  CLogFile first, second;
  ASSERT_TRUE(first.OpenPath(dir.Path("KfRcCmd.log")));
  first.Write(wxT("first run, a longer first line\n"));
  ASSERT_TRUE(second.OpenPath(dir.Path("KfRcCmd.log")));
  second.Write(wxT("second\n"));
  first.Write(wxT("first run goes on\n"));
  second.Write(wxT("second goes on\n"));
  EXPECT_FALSE(first.HasError());
  // The file in place is the whole transcript of the run that opened it last.
  EXPECT_EQ(dir.Read("KfRcCmd.log"), "second\nsecond goes on\n");
  EXPECT_EQ(dir.Mode("KfRcCmd.log"), 0640);
}

TEST(LogFileTest, AFileThatCannotBeOpenedLeavesTheRunWithoutALog) {
  TempDir dir;
  CLogFile log;
  // A folder in place of the file, and a folder that does not exist.
  EXPECT_FALSE(log.OpenPath(dir.Path()));
  EXPECT_FALSE(log.IsOpened());
  log.Write(wxT("dropped\n"));  // must not crash
  EXPECT_FALSE(log.OpenPath(dir.Path("missing/KfRcCmd.log")));
  EXPECT_FALSE(log.OpenPath(wxString()));
  // A named pipe that nobody reads fails instead of blocking the run.
  ASSERT_EQ(mkfifo(dir.Native("pipe.log").c_str(), 0600), 0);
  EXPECT_FALSE(log.OpenPath(dir.Path("pipe.log")));
  if (geteuid() != 0) {  // root may write into a read-only folder
    ASSERT_EQ(mkdir(dir.Native("ro").c_str(), 0500), 0);
    EXPECT_FALSE(log.OpenPath(dir.Path("ro/KfRcCmd.log")));
  }
  // A failed open also closes the log that was open before.
  ASSERT_TRUE(log.OpenPath(dir.Path("KfRcCmd.log")));
  EXPECT_FALSE(log.OpenPath(wxString()));
  log.Write(wxT("dropped\n"));
  EXPECT_EQ(dir.Read("KfRcCmd.log"), "");
}

}  // namespace
