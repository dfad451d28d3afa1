#include "platform/FileIO.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "../support/TempDir.h"

namespace {

TEST(FileIOTest, OnlyRegularFilesAreRead) {
  TempDir dir;
  const wxString file = dir.Path("Renderers.kren");
  ASSERT_TRUE(CFileIO::WriteAtomically(file, std::string("<DataRoot></DataRoot>\n")));
  std::string bytes = "old";
  EXPECT_TRUE(CFileIO::ReadBytes(file, &bytes));
  EXPECT_EQ(bytes, "<DataRoot></DataRoot>\n");

  // A named pipe with no writer would block a plain open for ever; a folder
  // cannot be read either. Both fail at once and leave nothing read.
  const wxString pipe = dir.Path("Pool.xml");
  ASSERT_EQ(mkfifo(pipe.utf8_str().data(), 0600), 0);
  EXPECT_FALSE(CFileIO::ReadBytes(pipe, &bytes));
  EXPECT_EQ(bytes, "");
  EXPECT_FALSE(CFileIO::ReadBytes(dir.Path(), &bytes));
  EXPECT_FALSE(CFileIO::ReadBytes(dir.Path("missing"), &bytes));
}

bool IsLink(const TempDir& dir, const char* name) {
  struct stat st;
  return lstat(dir.Native(name).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Links planted by another user of a shared folder at the target and at the
// temporary names an older version would have tried: whatever is written
// replaces the link and never reaches the file it points to.
TEST(FileIOTest, WritingNeverFollowsALinkAtTheTargetOrItsTemporaryNames) {
  TempDir dir;
  dir.Write("victim", "precious\n");
  const std::string victim = dir.Native("victim");
  for (const char* name : {"Renderers.kren", "KfRcCmd.log"}) {
    const std::string target = dir.Native(name);
    ASSERT_EQ(symlink(victim.c_str(), target.c_str()), 0);
    for (int n = 0; n < 120; ++n) {
      const std::string temp = target + ".tmp" + std::to_string(getpid()) + "_" + std::to_string(n);
      ASSERT_EQ(symlink(victim.c_str(), temp.c_str()), 0);
    }
  }
  EXPECT_TRUE(CFileIO::WriteAtomically(dir.Path("Renderers.kren"), "<DataRoot/>\n"));
  const int fd = CFileIO::CreateReplacing(dir.Path("KfRcCmd.log"));
  ASSERT_GE(fd, 0);
  EXPECT_EQ(write(fd, "log\n", 4), 4);
  close(fd);

  EXPECT_EQ(dir.Read("victim"), "precious\n");
  EXPECT_FALSE(IsLink(dir, "Renderers.kren"));
  EXPECT_FALSE(IsLink(dir, "KfRcCmd.log"));
  EXPECT_EQ(dir.Read("Renderers.kren"), "<DataRoot/>\n");
  EXPECT_EQ(dir.Read("KfRcCmd.log"), "log\n");
  // A link to a folder is no folder: it is replaced too.
  ASSERT_EQ(symlink(dir.Native("").c_str(), dir.Native("Pool.xml").c_str()), 0);
  EXPECT_TRUE(CFileIO::WriteAtomically(dir.Path("Pool.xml"), "<Pool/>\n"));
  EXPECT_EQ(dir.Read("Pool.xml"), "<Pool/>\n");
}

TEST(FileIOTest, PrivateFilesIgnoreTheModeOfTheFileTheyReplace) {
  TempDir dir;
  const wxString control = dir.Path("UpdControl.xss");
  dir.Write("UpdControl.xss", "old\n");
  ASSERT_EQ(chmod(dir.Native("UpdControl.xss").c_str(), 0644), 0);
  ASSERT_TRUE(CFileIO::WriteAtomically(control, "Command = secret\n", 0600, false));
  EXPECT_EQ(dir.Mode("UpdControl.xss"), 0600);
  // By default an existing file keeps its mode.
  ASSERT_EQ(chmod(dir.Native("UpdControl.xss").c_str(), 0640), 0);
  ASSERT_TRUE(CFileIO::WriteAtomically(control, "x\n"));
  EXPECT_EQ(dir.Mode("UpdControl.xss"), 0640);
}

TEST(FileIOTest, ALogThatCannotBeReplacedIsNeverEmptiedInPlace) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write into a read-only folder";
  TempDir dir;
  dir.Write("victim", "precious\n");
  const std::string folder = dir.Native("ro");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  ASSERT_EQ(symlink(dir.Native("victim").c_str(), (folder + "/KfRcCmd.log").c_str()), 0);
  ASSERT_EQ(chmod(folder.c_str(), 0500), 0);
  EXPECT_EQ(CFileIO::CreateReplacing(wxString::FromUTF8(folder + "/KfRcCmd.log")), -1);
  EXPECT_EQ(dir.Read("victim"), "precious\n");
  chmod(folder.c_str(), 0700);
}

}  // namespace
