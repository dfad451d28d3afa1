#include "platform/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

TEST(ProcessTest, StartedProgramsHaveNullStreamsAndASessionOfTheirOwn) {
  char pattern[] = "/tmp/kf-process-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  const std::string report = dir + "/report";
  // Standard input, output and error, then whether the shell leads its own
  // session (field 6 of /proc/PID/stat is the session ID).
  const char* check =
      "x=\"$(readlink /proc/$$/fd/0) $(readlink /proc/$$/fd/1) $(readlink /proc/$$/fd/2)\"; "
      "echo \"$x\" > \"$0\"; "
      "[ \"$(cut -d' ' -f6 /proc/$$/stat)\" = \"$$\" ] && echo leader >> \"$0\"";
  ASSERT_TRUE(CProcess::System().RunAndWait(Args({"/bin/sh", "-c", check, report.c_str()})));
  std::ifstream in(report);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "/dev/null /dev/null /dev/null\nleader\n");
  std::filesystem::remove_all(dir);
}

TEST(ProcessTest, ProgramPathsNameTheExecutableAndAScriptRunThroughItsInterpreter) {
  char pattern[] = "/tmp/kf-process-XXXXXX";
  const std::string dir = mkdtemp(pattern);
  const std::string script = dir + "/KfUpdate.exe";
  {
    std::ofstream out(script);
    out << "#!/bin/sh\nsleep 5\n";
  }
  ASSERT_EQ(chmod(script.c_str(), 0755), 0);
  CProcess& process = CProcess::System();
  const long id = process.Start(Args({script.c_str()}));
  ASSERT_GT(id, 0);
  // The script's interpreter is the executable; the script is its argument.
  // Right after the start the new program's arguments may not be in place.
  const wxString path = wxString::FromUTF8(script.c_str());
  for (int i = 0; i < 100 && process.GetProgramPaths(id).Index(path) == wxNOT_FOUND; ++i) usleep(10000);
  EXPECT_NE(process.GetProgramPaths(id).Index(path), wxNOT_FOUND)
      << wxJoin(process.GetProgramPaths(id), wxT('|'), wxT('\0'));
  const wxArrayString own = process.GetProgramPaths(getpid());
  ASSERT_FALSE(own.empty());
  EXPECT_EQ(own[0], process.GetOwnExecutable());
  EXPECT_TRUE(process.GetProgramPaths(0).empty());
  kill(static_cast<pid_t>(id), SIGTERM);
  waitpid(static_cast<pid_t>(id), nullptr, 0);
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
