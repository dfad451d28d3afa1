#include "settings/ProgramEnvironment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "../support/TempDir.h"

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "<unset>";
}

// Blanks around names and values, and a line without a name, are the
// end-to-end tests'.
TEST(ProgramEnvironmentTest, EnvironmentFileLinesBecomeVariables) {
  for (const char* n : {"KF_ENVT_A", "KF_ENVT_B", "KF_ENVT_C", "KF_ENVT_E", "KF_ENVT_F"})
    ::unsetenv(n);
  ::setenv("KF_ENVT_EMPTY", "before", 1);
  TempDir dir;
  dir.Write("Kilnforge.env",
            "KF_ENVT_A=a=b\r\n"
            "; KF_ENVT_B=commented\r\n"
            "#KF_ENVT_C=commented\n"
            "\n"
            "KF_ENVT_E=first\n"
            "KF_ENVT_E=second\n"
            "KF_ENVT_EMPTY\n"
            "KF_ENVT_F=\xc3\xa9t\xc3\xa9");
  // Without the trailing "/" the folder is still the folder.
  EXPECT_TRUE(LoadEnvironmentFile(dir.Path("")));
  EXPECT_EQ(Env("KF_ENVT_A"), "a");
  EXPECT_EQ(Env("KF_ENVT_B"), "<unset>");
  EXPECT_EQ(Env("KF_ENVT_C"), "<unset>");
  EXPECT_EQ(Env("KF_ENVT_E"), "second");
  EXPECT_EQ(Env("KF_ENVT_EMPTY"), "");
  EXPECT_EQ(Env("KF_ENVT_F"), "\xc3\xa9t\xc3\xa9");

  TempDir empty;
  EXPECT_FALSE(LoadEnvironmentFile(empty.Dir()));
}

TEST(ProgramEnvironmentTest, RegisterAndUnregisterTouchOnlyTheirLine) {
  TempDir dir;
  const wxString file = dir.Path("env.d/90-kilnforge.conf");
  ::setenv("KF_MACHINE_ENV_FILE", file.utf8_str().data(), 1);

  // Replacing our line and keeping the others is the machine environment's
  // and the end-to-end tests'; here the folder is made and the file removed.
  RegisterProgramDir(wxT("/opt/kilnforge"));
  EXPECT_EQ(dir.Read("env.d/90-kilnforge.conf"), "KF_CMDRC_DIR=/opt/kilnforge/\n");
  // A file that held only our line goes away with it.
  dir.Write("env.d/90-kilnforge.conf", "KF_CMDRC_DIR=/old/\n\n");
  UnregisterProgramDir();
  EXPECT_FALSE(dir.Exists("env.d/90-kilnforge.conf"));

  // Failures are silent: a folder where the file should be.
  ::setenv("KF_MACHINE_ENV_FILE", dir.Path("env.d").utf8_str().data(), 1);
  RegisterProgramDir(wxT("/opt/kilnforge"));
  UnregisterProgramDir();
  ::unsetenv("KF_MACHINE_ENV_FILE");
}

}  // namespace
