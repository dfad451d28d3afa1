#include "platform/MachineEnvironment.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "../support/TempDir.h"

namespace {

TEST(MachineEnvironmentTest, FileComesFromTheVariableOrTheDefault) {
  ::setenv(CMachineEnvironment::kFileVariable, "/tmp/x.conf", 1);
  EXPECT_EQ(CMachineEnvironment().GetPath(), wxT("/tmp/x.conf"));
  ::setenv(CMachineEnvironment::kFileVariable, "", 1);
  EXPECT_EQ(CMachineEnvironment().GetPath(), wxT("/etc/environment.d/90-kilnforge.conf"));
  ::unsetenv(CMachineEnvironment::kFileVariable);
  EXPECT_EQ(CMachineEnvironment().GetPath(), wxT("/etc/environment.d/90-kilnforge.conf"));
}

TEST(MachineEnvironmentTest, SetReplacesEveryEarlierLineOfTheName) {
  TempDir dir;
  dir.Write("env.conf",
            "A=1\r\nKF_CMDRC_DIR=/a/\nKF_CMDRC_DIR = /b/\n  # KF_CMDRC_DIR=/c/\nKF_CMDRC_DIRX=/d/");
  CMachineEnvironment env(dir.Path("env.conf"));
  ASSERT_TRUE(env.Set(wxT("KF_CMDRC_DIR"), wxT("/new/")));
  EXPECT_EQ(dir.Read("env.conf"),
            "A=1\r\nKF_CMDRC_DIR=/new/\n  # KF_CMDRC_DIR=/c/\nKF_CMDRC_DIRX=/d/\n");
  EXPECT_FALSE(env.Set(wxT("KF_CMDRC_DIR"), wxT("/two\nlines/")));
  EXPECT_FALSE(env.Set(wxString(), wxT("x")));

  // Values that the environment.d reader would expand or unquote are escaped.
  const wxString special = wxT("/srv/$HOME's \"farm\"\\\u00e9/");
  ASSERT_TRUE(env.Set(wxT("KF_CMDRC_DIR"), special));
  EXPECT_EQ(
      dir.Read("env.conf"),
      "A=1\r\nKF_CMDRC_DIR=/srv/\\$HOME\\'s \\\"farm\\\"\\\\\xc3\xa9/\n"
      "  # KF_CMDRC_DIR=/c/\nKF_CMDRC_DIRX=/d/\n");
  wxString value;
  ASSERT_TRUE(env.Get(wxT("KF_CMDRC_DIR"), &value));
  EXPECT_EQ(value, special);
  EXPECT_FALSE(env.Get(wxT("MISSING"), &value));
}

TEST(MachineEnvironmentTest, PermissionsOfNewAndExistingFiles) {
  TempDir dir;
  const std::string file = std::string(dir.Path("env.conf").utf8_str());
  CMachineEnvironment env(dir.Path("env.conf"));
  const mode_t old = ::umask(022);
  ASSERT_TRUE(env.Set(wxT("A"), wxT("1")));
  struct stat st;
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  ::chmod(file.c_str(), 0600);
  ASSERT_TRUE(env.Set(wxT("A"), wxT("2")));
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ::umask(old);
  EXPECT_EQ(dir.Count(), 1u);  // no temporary file left behind

  // Removing from a file that does not exist does not create it.
  CMachineEnvironment missing(dir.Path("none.conf"));
  EXPECT_TRUE(missing.Remove(wxT("A")));
  EXPECT_FALSE(dir.Exists("none.conf"));
}

}  // namespace
