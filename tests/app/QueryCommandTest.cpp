#include "app/QueryCommand.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "../support/TempDir.h"

namespace {

// What the console shows, the old content replaced and a file that cannot be
// made are the end-to-end tests'; here the answer file is written in place
// like a shell's ">", through links and into a pipe.
struct QueryTest : ::testing::Test {
  TempDir dir;
};

TEST_F(QueryTest, AnswerFileIsWrittenInPlaceThroughLinks) {
  // The user named the file: a symbolic link leads to its target, and a hard
  // link keeps its other name, as with a shell's ">".
  dir.Write("target.txt", "old content\n");
  ASSERT_EQ(symlink(dir.Native("target.txt").c_str(), dir.Native("link.txt").c_str()), 0);
  ASSERT_EQ(link(dir.Native("target.txt").c_str(), dir.Native("hard.txt").c_str()), 0);
  EXPECT_TRUE(CQueryCommand::WriteAnswerFile(dir.Path("link.txt"), wxT("7|new")));
  EXPECT_EQ(dir.Read("target.txt"), "7|new");
  EXPECT_EQ(dir.Read("hard.txt"), "7|new");
  struct stat st;
  ASSERT_EQ(lstat(dir.Native("link.txt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));

  // A new file gets 0666 less the umask.
  const mode_t old = umask(022);
  EXPECT_TRUE(CQueryCommand::WriteAnswerFile(dir.Path("fresh.txt"), wxT("x")));
  umask(old);
  EXPECT_EQ(dir.Mode("fresh.txt"), 0644);
}

TEST_F(QueryTest, AnswerIntoAPipeIsWrittenThroughIt) {
  const std::string path = dir.Native("answer.fifo");
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
