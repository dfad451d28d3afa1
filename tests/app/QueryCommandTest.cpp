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
// end to end; here the answer file is replaced whole and a pipe written through.
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
    return CQueryCommand(core, [answer](const wxString&, wxString* out) {
      *out = answer;
      return true;
    });
  }
};

TEST_F(QueryTest, AnswerReplacesTheFileContent) {
  dir.Write("answer.txt", "a much longer older content than the answer\n");
  Answering(wxString::FromUTF8("Grüße")).Run(wxT("q"), dir.Path("answer.txt"));
  EXPECT_EQ(console, wxT(""));
  EXPECT_EQ(dir.Read("answer.txt"), "Grüße");
  EXPECT_EQ(dir.Count(), 1u);  // replaced whole: no temporary file is left beside it

  // A file that cannot be created is skipped silently.
  Answering(wxT("x")).Run(wxT("q"), dir.Path("no/such/dir"));
  EXPECT_EQ(console, wxT(""));
  EXPECT_EQ(log, wxT(""));
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
