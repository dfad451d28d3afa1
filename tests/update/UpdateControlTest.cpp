#include "update/UpdateControl.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>

#include "../support/RecordingConsole.h"
#include "../support/Strings.h"
#include "settings/ExtendedSettingsScript.h"
#include "../support/TempDir.h"

namespace {

// Answers for the processes it would start, without starting them.
class FakeProcess : public CProcess {
 public:
  bool RunAndWait(const wxArrayString&) override { return runs; }
  long Start(const wxArrayString&) override { return startId; }
  long GetOwnId() const override { return 4242; }
  wxString GetOwnExecutable() const override { return wxT("/opt/kf farm/KfRcCmd"); }
  wxArrayString GetOwnArguments() const override {
    return Strings({"-nj_name", "my job", "say \"hi\"", "scene.ma"});
  }
  bool IsRunning(long pid) const override { return running.count(pid) != 0; }
  wxArrayString GetProgramPaths(long pid) const override {
    wxArrayString paths;
    if (running.count(pid)) paths.Add(updater);
    return paths;
  }

  bool runs = true;
  long startId = 777;
  std::set<long> running;  // processes that run the updater
  wxString updater;
};

class UpdateControlTest : public testing::Test {
 protected:
  UpdateControlTest() {
    mkdir(dir.Native("Updates").c_str(), 0777);
    host.programDir = dir.Path();
    host.console = &output;
    process.updater = dir.Path() + wxT("/KfUpdate.exe");
  }

  TempDir dir;
  RecordingConsole output;
  wxString& console = output.text;
  CUpdateControl::Host host;
  FakeProcess process;
};

TEST(UpdateInfoTest, NewPackagesCriticalMarkAndPort) {
  const wxArrayString installed = Strings({"Core:2.14"});
  const struct {
    const wxChar* info;
    const wxChar* packages;
    bool critical;
    const wxChar* port;
  } cases[] = {
      // "YES" on a new package counts; the installed one's "yes" does not.
      {wxT("Core|2.14|yes, Maya Plugin|3.1|no ,Tools|1.0|YES,Core|2.15?8090?ignored"),
       wxT("Maya Plugin:3.1,Tools:1.0,Core:2.15"), true, wxT("8090")},
      {wxT("A|1|no?1"), wxT("A:1"), false, wxT("1")},
      {wxT("A|1|yess,B|2|true"), wxT("A:1,B:2"), false, wxT("")},
      {wxT("A|1|no,B|2|yEs|extra"), wxT("A:1,B:2"), true, wxT("")},
      {wxT("?8090"), wxT(""), false, wxT("8090")},
      {wxT(" , ,|1|yes"), wxT(""), false, wxT("")},
      {wxT("A,,A|,B|2|no,B|2|no"), wxT("A:,B:2"), false, wxT("")},
      // A package named twice is listed once and critical when any entry says so.
      {wxT("A|1|no,B|2,A|1|yes,A|1|no"), wxT("A:1,B:2"), true, wxT("")},
      {wxT("A|1|YES,A|1|no"), wxT("A:1"), true, wxT("")},
  };
  for (const auto& c : cases) {
    const auto a = CUpdateControl::ParseUpdateInfo(c.info, installed);
    EXPECT_EQ(wxJoin(a.newPackages, wxT(','), wxT('\0')), c.packages) << c.info;
    EXPECT_EQ(a.critical, c.critical) << c.info;
    EXPECT_EQ(a.port, c.port) << c.info;
  }
}

TEST_F(UpdateControlTest, UpdaterThatCannotRunLetsTheConnectionGoOn) {
  process.runs = false;
  dir.Write("KfUpdate.tmp", "new");
  CUpdateControl control(host, process);
  EXPECT_TRUE(control.CheckUpdate(wxT("A|1|no?1"), wxT("h")));
  EXPECT_EQ(console, wxT("The following update(s) will be installed: A (1)\n\n"));
  EXPECT_TRUE(dir.Exists("KfUpdate.tmp"));
}

TEST_F(UpdateControlTest, CriticalUpdateStartsTheUpdaterLeavesTheControlFileAndRefuses) {
  CUpdateControl control(host, process);
  EXPECT_FALSE(control.CheckUpdate(wxT("A|1|no,Core|2.15|Yes?8090"), wxT("farm")));
  // The updater's command line, the report and the refused restart are the end-to-end test's.
  EXPECT_TRUE(control.IsEndRequested());

  // The folder "Temp" was missing: the control file is written all the same.
  UExtendedSettingsScript file;
  ASSERT_TRUE(file.Load(dir.Path("Temp/UpdControl.xss"), UExtendedSettingsScript::kBlock));
  EXPECT_EQ(file.GetRootSection().GetInt(wxT("UpdateControl::ProcessID")), 777);
  EXPECT_EQ(file.GetRootSection().GetString(wxT("UpdateControl::Command")),
            wxT("\"/opt/kf farm/KfRcCmd\" -nj_name \"my job\" \"say \\\"hi\\\"\" scene.ma"));
}

TEST_F(UpdateControlTest, CriticalUpdaterThatCannotStartStillRefuses) {
  process.startId = 0;
  CUpdateControl control(host, process);
  EXPECT_FALSE(control.CheckUpdate(wxT("Core|2|yes?1"), wxT("farm")));
  EXPECT_FALSE(dir.Exists("Temp/UpdControl.xss"));
  EXPECT_FALSE(control.IsEndRequested());
}

// A control file naming a process that ended or runs another program is the
// end-to-end tests'.
TEST_F(UpdateControlTest, ControlFilesThatNameNoRunningUpdaterAreStaleAndRemoved) {
  process.running.insert(55);
  CUpdateControl control(host, process);
  EXPECT_FALSE(control.IsUpdateRunning());  // no file
  mkdir(dir.Native("Temp").c_str(), 0777);
  const struct {
    const char* text;
    bool running;
  } cases[] = {
      {"UpdateControl\n{\n  Command = \"x\"\n}\n", false},  // no ProcessID
      {"UpdateControl\n{\n  ProcessID = 55\n", false},        // unbalanced braces: does not load
      {"UpdateControl\n{\n  ProcessID = 55\n}\n", true},
  };
  for (const auto& c : cases) {
    dir.Write("Temp/UpdControl.xss", c.text);
    EXPECT_EQ(control.IsUpdateRunning(), c.running) << c.text;
    EXPECT_EQ(control.GetRunningUpdaterId(), c.running ? 55 : 0) << c.text;
    // Only a running update keeps its control file.
    EXPECT_EQ(dir.Exists("Temp/UpdControl.xss"), c.running) << c.text;
  }
}

TEST_F(UpdateControlTest, InAnInstalledProgramNothingIsRenamedIntoTheUpdater) {
  // The program directory belongs to someone else. That the update is only reported, and a
  // critical one refuses the connection, is the end-to-end test's.
  host.sharedInstall = true;
  dir.Write("KfUpdate.tmp", "planted");
  CUpdateControl control(host, process);
  control.CleanUpUpdater();
  EXPECT_TRUE(dir.Exists("KfUpdate.tmp"));
  EXPECT_FALSE(dir.Exists("KfUpdate.exe"));
}

TEST_F(UpdateControlTest, CleanUpReplacesTheUpdaterOnlyWhenANewOneWaits) {
  CUpdateControl control(host, process);
  dir.Write("KfUpdate.exe", "old");
  control.CleanUpUpdater();
  EXPECT_EQ(dir.Read("KfUpdate.exe"), "old");
  dir.Write("KfUpdate.tmp", "new");
  chmod(dir.Native("KfUpdate.tmp").c_str(), 0755);
  control.CleanUpUpdater();
  EXPECT_EQ(dir.Read("KfUpdate.exe"), "new");
  EXPECT_FALSE(dir.Exists("KfUpdate.tmp"));
  EXPECT_TRUE(dir.Mode("KfUpdate.exe") & S_IXUSR);
  // Only a new one, no old one.
  remove(dir.Native("KfUpdate.exe").c_str());
  dir.Write("KfUpdate.tmp", "newer");
  control.CleanUpUpdater();
  EXPECT_EQ(dir.Read("KfUpdate.exe"), "newer");
}

}  // namespace
