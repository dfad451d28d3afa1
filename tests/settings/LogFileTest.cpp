#include "settings/LogFile.h"

#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "app/KfJsCore.h"

namespace {

class LogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/kflog.XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    m_dir = pattern;
  }
  void TearDown() override {
    for (const char* name : {"/KfRcCmd.log", "/ro/KfRcCmd.log"}) unlink((m_dir + name).c_str());
    chmod((m_dir + "/ro").c_str(), 0700);
    rmdir((m_dir + "/ro").c_str());
    rmdir(m_dir.c_str());
  }

  std::string Path(const char* name) const { return m_dir + "/" + name; }
  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  std::string m_dir;
};

TEST_F(LogFileTest, EveryOpenEmptiesTheLogOfTheRunBefore) {
  const std::string path = Path("KfRcCmd.log");
  WriteAll(path, "transcript of an earlier run\n");
  {
    CLogFile log;
    ASSERT_TRUE(log.OpenPath(wxString::FromUTF8(path.c_str())));
  }  // a run without -log writes nothing
  EXPECT_EQ(ReadAll(path), "");

  CLogFile log;
  ASSERT_TRUE(log.OpenPath(wxString::FromUTF8(path.c_str())));
  log.Write(wxT("first\n"));
  ASSERT_TRUE(log.OpenPath(wxString::FromUTF8(path.c_str())));
  log.Write(wxT("second\n"));
  EXPECT_EQ(ReadAll(path), "second\n");
}

TEST_F(LogFileTest, TwoRunsAtOnceNeverWriteIntoOneFile) {
  const std::string path = Path("KfRcCmd.log");
  WriteAll(path, "old\n");
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
  EXPECT_EQ(ReadAll(path), "second\nsecond goes on\n");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(LogFileTest, TranscriptThroughTheCoreIsByteExactAndIgnoresQuiet) {
  CKfJsCore core;
  core.SetUserDir(wxString::FromUTF8(m_dir.c_str()));
  wxString console;
  core.SetConsoleSink([&](const wxString& t) { console += t; });
  CLogFile log;
  ASSERT_TRUE(log.Open(wxT("KfRcCmd.log")));
  core.SetLogSink(log.Sink());

  core.Output(wxT("Scene %s at 100%%\n"), wxString::FromUTF8("/tmp/szene_ü %d.max"));
  core.SetQuiet(true);
  core.Output(wxT("progress only in the log\n"));
  core.OutputLevel(2, wxT("Login failed\n"));
  core.OutputRule(wxT('='), 3);
  core.SetLogSink(nullptr);

  EXPECT_EQ(ReadAll(Path("KfRcCmd.log")),
            "Scene /tmp/szene_\xC3\xBC %d.max at 100%\n"
            "progress only in the log\n"
            "ERROR! Login failed\n"
            "===\n");
  EXPECT_EQ(console, wxString::FromUTF8("Scene /tmp/szene_ü %d.max at 100%\nERROR! Login failed\n"));
  EXPECT_FALSE(log.HasError());
}

TEST_F(LogFileTest, AFileThatCannotBeOpenedLeavesTheRunWithoutALog) {
  CLogFile log;
  // A folder in place of the file, and a folder that does not exist.
  EXPECT_FALSE(log.OpenPath(wxString::FromUTF8(m_dir.c_str())));
  EXPECT_FALSE(log.IsOpened());
  log.Write(wxT("dropped\n"));  // must not crash
  EXPECT_FALSE(log.OpenPath(wxString::FromUTF8((m_dir + "/missing/KfRcCmd.log").c_str())));
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
  EXPECT_EQ(ReadAll(Path("KfRcCmd.log")), "");
}

TEST_F(LogFileTest, WithoutACoreOpenFails) {
  ASSERT_EQ(CKfJsCore::Get(), nullptr);
  CLogFile log;
  EXPECT_FALSE(log.Open(wxT("KfRcCmd.log")));
}

}  // namespace
