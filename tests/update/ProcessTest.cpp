#include "platform/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "../support/Strings.h"
#include "../support/TempDir.h"

namespace {

TEST(ProcessTest, StartedProgramsGetOnlyTheStandardStreams) {
  TempDir dir;
  // Like a socket to the server: open, and not closed on exec.
  const int inherited = open(dir.Native("held").c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(inherited, 3);
  const std::string check = "[ -e /dev/fd/" + std::to_string(inherited) +
                            " ] && touch \"$0\"/leaked; [ -e /dev/fd/1 ] && touch \"$0\"/stdout";
  const std::string folder = dir.Native("");
  const wxArrayString args = Strings({"/bin/sh", "-c", check.c_str(), folder.c_str()});
  ASSERT_TRUE(CProcess::System().RunAndWait(args));
  EXPECT_FALSE(dir.Exists("leaked"));
  EXPECT_TRUE(dir.Exists("stdout"));
  close(inherited);
}

TEST(ProcessTest, ProgramsThatCannotRunAreReported) {
  CProcess& process = CProcess::System();
  EXPECT_FALSE(process.RunAndWait(Strings({"/nonexistent/KfUpdate.exe"})));
  EXPECT_EQ(process.Start(Strings({"/nonexistent/KfUpdate.exe"})), 0);
  EXPECT_FALSE(process.RunAndWait(Strings({"/tmp"})));
  EXPECT_FALSE(process.RunAndWait(wxArrayString()));
}

TEST(ProcessTest, OwnProcessAndIdsThatNameNoSingleProcess) {
  CProcess& process = CProcess::System();
  EXPECT_EQ(process.GetOwnId(), static_cast<long>(getpid()));
  EXPECT_TRUE(process.IsRunning(process.GetOwnId()));
  EXPECT_FALSE(process.IsRunning(0));
  EXPECT_FALSE(process.IsRunning(-1));
  EXPECT_FALSE(process.IsRunning(1L << 40));
  EXPECT_TRUE(process.GetOwnExecutable().EndsWith(wxT("/test_update")));
}

}  // namespace
