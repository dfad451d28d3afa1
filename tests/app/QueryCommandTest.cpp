#include "app/QueryCommand.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "app/KfJsCore.h"
#include "../support/TempDir.h"

namespace {

// The answer shown despite quiet and a refusal kept to the log are compared
// end to end; here the answer file is written in place like a shell's ">"
// and a pipe written through.
struct QueryTest : ::testing::Test {
  CKfJsCore core;
  wxString console;
  wxString log;
  TempDir dir;

  QueryTest() {
    core.SetConsoleSink([this](const wxString& t) { console += t; });
    core.SetLogSink([this](const wxString& t) { log += t; });
    core.SetQuiet(true);
  }
  CQueryCommand Answering(const wxString& answer) {
    return CQueryCommand(core, [answer](const wxString&, std::string* out) {
      *out = answer.utf8_str().data();
      return true;
    });
  }
};

TEST_F(QueryTest, AnswerReplacesTheFileContent) {
  dir.Write("answer.txt", "a much longer older content than the answer\n");
  Answering(wxString::FromUTF8("Grüße")).Run(wxT("q"), dir.Path("answer.txt"));
  EXPECT_EQ(console, wxT(""));
  EXPECT_EQ(dir.Read("answer.txt"), "Grüße");
  EXPECT_EQ(dir.Count(), 1u);  // no temporary file is left beside it

  // A file that cannot be created is skipped silently.
  Answering(wxT("x")).Run(wxT("q"), dir.Path("no/such/dir"));
  EXPECT_EQ(console, wxT(""));
  EXPECT_EQ(log, wxT(""));
}

TEST_F(QueryTest, AnswerFileIsWrittenInPlaceThroughLinks) {
  // The user named the file: a symbolic link leads to its target, and a hard
  // link keeps its other name, as with a shell's ">".
  dir.Write("target.txt", "old content\n");
  const std::string target(dir.Path("target.txt").utf8_str());
  const std::string viaLink(dir.Path("link.txt").utf8_str());
  const std::string hard(dir.Path("hard.txt").utf8_str());
  ASSERT_EQ(symlink(target.c_str(), viaLink.c_str()), 0);
  ASSERT_EQ(link(target.c_str(), hard.c_str()), 0);
  EXPECT_TRUE(CQueryCommand::WriteAnswerFile(dir.Path("link.txt"), wxT("7|new")));
  EXPECT_EQ(dir.Read("target.txt"), "7|new");
  EXPECT_EQ(dir.Read("hard.txt"), "7|new");
  struct stat st;
  ASSERT_EQ(lstat(viaLink.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  // A new file gets 0666 less the umask.
  const mode_t old = umask(022);
  EXPECT_TRUE(CQueryCommand::WriteAnswerFile(dir.Path("fresh.txt"), wxT("x")));
  umask(old);
  ASSERT_EQ(stat(std::string(dir.Path("fresh.txt").utf8_str()).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(QueryTest, AnswerIntoAPipeIsWrittenThroughIt) {
  const std::string path(dir.Path("answer.fifo").utf8_str());
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(CQueryCommand::WriteAnswerFile(wxString::FromUTF8(path.c_str()), wxT("42|job")));
  char buffer[16] = {};
  EXPECT_EQ(read(reader, buffer, sizeof buffer), 6);
  EXPECT_STREQ(buffer, "42|job");
  close(reader);
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  unlink(path.c_str());
}

}  // namespace
