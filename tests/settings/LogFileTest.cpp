#include "settings/LogFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "../support/TempDir.h"

namespace {

class LogFileTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) const { return std::string(m_dir.Path(name).utf8_str()); }

  TempDir m_dir;
};

TEST_F(LogFileTest, TwoRunsAtOnceNeverWriteIntoOneFile) {
  const std::string path = Path("KfRcCmd.log");
  m_dir.Write("KfRcCmd.log", "old\n");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  CLogFile first, second;
  ASSERT_TRUE(first.OpenPath(wxString::FromUTF8(path.c_str())));
  first.Write(wxT("first run, a longer first line\n"));
  ASSERT_TRUE(second.OpenPath(wxString::FromUTF8(path.c_str())));
  second.Write(wxT("second\n"));
  first.Write(wxT("first run goes on\n"));
  second.Write(wxT("second goes on\n"));
  EXPECT_FALSE(first.HasError());
  // The file in place is the whole transcript of the run that opened it last.
  EXPECT_EQ(m_dir.Read("KfRcCmd.log"), "second\nsecond goes on\n");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(LogFileTest, AFileThatCannotBeOpenedLeavesTheRunWithoutALog) {
  CLogFile log;
  // A folder in place of the file, and a folder that does not exist.
  EXPECT_FALSE(log.OpenPath(m_dir.Path()));
  EXPECT_FALSE(log.IsOpened());
  log.Write(wxT("dropped\n"));  // must not crash
  EXPECT_FALSE(log.OpenPath(m_dir.Path("missing/KfRcCmd.log")));
  EXPECT_FALSE(log.OpenPath(wxString()));
  // A named pipe that nobody reads fails instead of blocking the run.
  const std::string pipe = Path("pipe.log");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(log.OpenPath(wxString::FromUTF8(pipe.c_str())));
  unlink(pipe.c_str());
  if (geteuid() != 0) {  // root may write into a read-only folder
    const std::string ro = Path("ro");
    ASSERT_EQ(mkdir(ro.c_str(), 0500), 0);
    EXPECT_FALSE(log.OpenPath(wxString::FromUTF8((ro + "/KfRcCmd.log").c_str())));
  }
  // A failed open also closes the log that was open before.
  ASSERT_TRUE(log.OpenPath(wxString::FromUTF8(Path("KfRcCmd.log").c_str())));
  EXPECT_FALSE(log.OpenPath(wxString()));
  log.Write(wxT("dropped\n"));
  EXPECT_EQ(m_dir.Read("KfRcCmd.log"), "");
}

}  // namespace
