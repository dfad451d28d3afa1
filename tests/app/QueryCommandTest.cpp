#include "app/QueryCommand.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/KfJsCore.h"

namespace {

struct QueryTest : ::testing::Test {
  CKfJsCore core;
  wxString console;
  wxString log;
  wxString asked;
  std::string dir;

  QueryTest() {
    core.SetConsoleSink([this](const wxString& t) { console += t; });
    core.SetLogSink([this](const wxString& t) { log += t; });
    core.SetQuiet(true);
    char pattern[] = "/tmp/kfquery_XXXXXX";
    const char* made = mkdtemp(pattern);
    dir = made ? made : "/tmp";
  }
  ~QueryTest() override {
    const std::string cmd = "rm -rf '" + dir + "'";
    if (std::system(cmd.c_str()) != 0) {
    }
  }
  CQueryCommand Answering(bool accept, const wxString& answer) {
    return CQueryCommand(core, [this, accept, answer](const wxString& query, wxString* out) {
      asked = query;
      if (accept) *out = answer;
      return accept;
    });
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(QueryTest, AnswerShowsDespiteQuiet) {
  Answering(true, wxT("100%s done")).Run(wxT("whoami;stamp"), wxString());
  EXPECT_EQ(asked, wxT("whoami;stamp"));
  EXPECT_EQ(console, wxT("100%s done\n"));
  EXPECT_TRUE(core.IsQuiet());
}

TEST_F(QueryTest, FailureReachesOnlyTheLog) {
  Answering(false, wxString()).Run(wxT("nonsense"), wxString());
  EXPECT_EQ(console, wxT(""));
  EXPECT_EQ(log, wxT("Failed to query the server\n"));
}

TEST_F(QueryTest, AnswerReplacesTheFileContent) {
  const std::string path = dir + "/answer.txt";
  std::ofstream(path) << "a much longer older content than the answer\n";
  Answering(true, wxString::FromUTF8("Grüße")).Run(wxT("q"), wxString::FromUTF8(path.c_str()));
  EXPECT_EQ(console, wxT(""));
  EXPECT_EQ(Read(path), "Grüße");

  // Replaced whole: no temporary file is left beside it.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) entries += e.is_regular_file();
  EXPECT_EQ(entries, 1);

  // A file that cannot be created is skipped silently.
  Answering(true, wxT("x")).Run(wxT("q"), wxString::FromUTF8((dir + "/no/such/dir").c_str()));
  EXPECT_EQ(console, wxT(""));
  EXPECT_EQ(log, wxT(""));
}

TEST_F(QueryTest, AnswerIntoAPipeIsWrittenThroughIt) {
  const std::string path = dir + "/answer.fifo";
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
