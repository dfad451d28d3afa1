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
  CMachineEnvironment env(dir.Path("env.conf"));
  const mode_t old = ::umask(022);
  ASSERT_TRUE(env.Set(wxT("A"), wxT("1")));
  EXPECT_EQ(dir.Mode("env.conf"), 0644);
  ::chmod(dir.Native("env.conf").c_str(), 0600);
  ASSERT_TRUE(env.Set(wxT("A"), wxT("2")));
  EXPECT_EQ(dir.Mode("env.conf"), 0600);
  ::umask(old);
  EXPECT_EQ(dir.Count(), 1u);  // no temporary file left behind

  // Removing from a file that does not exist does not create it.
  CMachineEnvironment missing(dir.Path("none.conf"));
  EXPECT_TRUE(missing.Remove(wxT("A")));
  EXPECT_FALSE(dir.Exists("none.conf"));
}

}  // namespace
