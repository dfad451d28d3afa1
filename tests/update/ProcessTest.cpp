#include "platform/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

wxArrayString Args(std::initializer_list<const char*> items) {
  wxArrayString args;
  for (const char* item : items) args.Add(wxString::FromUTF8(item));
  return args;
}

TEST(ProcessTest, RunAndWaitReturnsOnlyAfterTheProgramEnded) {
  char pattern[] = "/tmp/kf-process-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  const std::string mark = dir + "/done";
  CProcess& process = CProcess::System();
  ASSERT_TRUE(process.RunAndWait(Args({"/bin/sh", "-c", "sleep 0.2; echo x > \"$0\"", mark.c_str()})));
  EXPECT_EQ(access(mark.c_str(), F_OK), 0);
  // A failing program still ran.
  EXPECT_TRUE(process.RunAndWait(Args({"/bin/false"})));
  std::filesystem::remove_all(dir);
}

TEST(ProcessTest, StartedProgramsGetOnlyTheStandardStreams) {
  char pattern[] = "/tmp/kf-process-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  // Like a socket to the server: open, and not closed on exec.
  const int inherited = open((dir + "/held").c_str(), O_CREAT | O_WRONLY, 0600);
  ASSERT_GE(inherited, 3);
  const std::string check = "[ -e /dev/fd/" + std::to_string(inherited) + " ] && touch \"$0\"/leaked; "
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

TEST(ProcessTest, StartedProcessesRunUntilTheyEnd) {
  CProcess& process = CProcess::System();
  const long id = process.Start(Args({"/bin/sleep", "5"}));
  ASSERT_GT(id, 0);
  EXPECT_TRUE(process.IsRunning(id));
  kill(static_cast<pid_t>(id), SIGTERM);
  waitpid(static_cast<pid_t>(id), nullptr, 0);
  EXPECT_FALSE(process.IsRunning(id));
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
