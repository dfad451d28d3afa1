#include "platform/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

wxArrayString Args(std::initializer_list<const char*> items) {
  wxArrayString args;
  for (const char* item : items) args.Add(wxString::FromUTF8(item));
  return args;
}

TEST(ProcessTest, StartedProgramsGetOnlyTheStandardStreams) {
  char pattern[] = "/tmp/kf-process-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  // Like a socket to the server: open, and not closed on exec.
  const int inherited = open((dir + "/held").c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(inherited, 3);
  const std::string check = "[ -e /dev/fd/" + std::to_string(inherited) +
                            " ] && touch \"$0\"/leaked; "
                            "[ -e /dev/fd/1 ] && touch \"$0\"/stdout";
  ASSERT_TRUE(CProcess::System().RunAndWait(Args({"/bin/sh", "-c", check.c_str(), dir.c_str()})));
  EXPECT_NE(access((dir + "/leaked").c_str(), F_OK), 0);
  EXPECT_EQ(access((dir + "/stdout").c_str(), F_OK), 0);
  close(inherited);
  std::filesystem::remove_all(dir);
}

TEST(ProcessTest, ProgramsThatCannotRunAreReported) {
  CProcess& process = CProcess::System();
  EXPECT_FALSE(process.RunAndWait(Args({"/nonexistent/KfUpdate.exe"})));
  EXPECT_EQ(process.Start(Args({"/nonexistent/KfUpdate.exe"})), 0);
  EXPECT_FALSE(process.RunAndWait(Args({"/tmp"})));
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
