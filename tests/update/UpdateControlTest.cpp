#include "update/UpdateControl.h"

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "app/KfJsCore.h"
#include "settings/ExtendedSettingsScript.h"

namespace {

// Records what would be started instead of starting it.
class FakeProcess : public CProcess {
 public:
  bool RunAndWait(const wxArrayString& argv) override {
    waited.push_back(argv);
    return runs;
  }
  long Start(const wxArrayString& argv) override {
    started.push_back(argv);
    return startId;
  }
  long GetOwnId() const override { return 4242; }
  wxString GetOwnExecutable() const override { return wxT("/opt/kf farm/KfRcCmd"); }
  wxArrayString GetOwnArguments() const override {
    wxArrayString args;
    args.Add(wxT("-nj_name"));
    args.Add(wxT("my job"));
    args.Add(wxT("say \"hi\""));
    args.Add(wxT("scene.ma"));
    return args;
  }
  bool IsRunning(long pid) const override { return running.count(pid) != 0; }

  bool runs = true;
  long startId = 777;
  std::set<long> running;
  std::vector<wxArrayString> waited;
  std::vector<wxArrayString> started;
};

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

class UpdateControlTest : public testing::Test {
 protected:
  UpdateControlTest() {
    char pattern[] = "/tmp/kf-update-XXXXXX";
    dir = mkdtemp(pattern);
    mkdir((dir + "/Updates").c_str(), 0777);
    core.SetProgramDir(wxString::FromUTF8(dir.c_str()));
    core.SetConsoleSink([this](const wxString& text) { console += text; });
  }
  ~UpdateControlTest() override { std::filesystem::remove_all(dir); }

  wxString Dir() const { return wxString::FromUTF8(dir.c_str()); }
  void InstallList(const std::string& values) {
    WriteFile(dir + "/Updates/UpdateList.xss", "Updates\n{\n" + values + "}\n");
  }

  std::string dir;
  CKfJsCore core;
  wxString console;
  FakeProcess process;
};

TEST(UpdateInfoTest, NewPackagesCriticalMarkAndPort) {
  wxArrayString installed;
  installed.Add(wxT("Core:2.14"));
  const auto a = CUpdateControl::ParseUpdateInfo(
      wxT("Core|2.14|yes, Maya Plugin|3.1|no ,Tools|1.0|YES,Core|2.15?8090?ignored"), installed);
  ASSERT_EQ(a.newPackages.size(), 3u);
  EXPECT_EQ(a.newPackages[0], wxT("Maya Plugin:3.1"));
  EXPECT_EQ(a.newPackages[1], wxT("Tools:1.0"));
  EXPECT_EQ(a.newPackages[2], wxT("Core:2.15"));
  EXPECT_TRUE(a.critical);  // "YES" on a new package; the installed one's "yes" does not count
  EXPECT_EQ(a.port, wxT("8090"));
}

TEST(UpdateInfoTest, OnlyYesInAnyCaseIsCriticalAndEmptyEntriesAnnounceNothing) {
  const wxArrayString none;
  EXPECT_FALSE(CUpdateControl::ParseUpdateInfo(wxT("A|1|no?1"), none).critical);
  EXPECT_FALSE(CUpdateControl::ParseUpdateInfo(wxT("A|1?1"), none).critical);
  EXPECT_FALSE(CUpdateControl::ParseUpdateInfo(wxT("A|1|yess,B|2|true"), none).critical);
  EXPECT_TRUE(CUpdateControl::ParseUpdateInfo(wxT("A|1|no,B|2|yEs|extra"), none).critical);
  EXPECT_TRUE(CUpdateControl::ParseUpdateInfo(wxT("?8090"), none).newPackages.empty());
  EXPECT_TRUE(CUpdateControl::ParseUpdateInfo(wxT(""), none).newPackages.empty());
  EXPECT_TRUE(CUpdateControl::ParseUpdateInfo(wxT(" , ,|1|yes"), none).newPackages.empty());
  const auto a = CUpdateControl::ParseUpdateInfo(wxT("A,,A|,B|2|no,B|2|no"), none);
  ASSERT_EQ(a.newPackages.size(), 2u);
  EXPECT_EQ(a.newPackages[0], wxT("A:"));
  EXPECT_EQ(a.newPackages[1], wxT("B:2"));
  EXPECT_EQ(a.port, wxT(""));
}

TEST_F(UpdateControlTest, InstalledPackagesComeFromTheUpdateList) {
  InstallList("  P1 = \"Core:2.14\"\n  P2 = \"\"\n  P3 = \"Tools:1.0\"\n");
  CUpdateControl control(process);
  const wxArrayString installed = control.ReadInstalledPackages();
  ASSERT_EQ(installed.size(), 2u);
  EXPECT_EQ(installed[0], wxT("Core:2.14"));
  EXPECT_EQ(installed[1], wxT("Tools:1.0"));

  EXPECT_TRUE(control.CheckUpdate(wxT("Core|2.14|yes,Tools|1.0|no?8090"), wxT("farm")));
  EXPECT_TRUE(process.waited.empty());
  EXPECT_TRUE(process.started.empty());
  EXPECT_EQ(console, wxT(""));
}

TEST_F(UpdateControlTest, UpdaterCommandLineText) {
  CUpdateControl control(process);
  wxArrayString packages;
  packages.Add(wxT("A:1"));
  packages.Add(wxT("B:2"));
  const wxString d = Dir();
  EXPECT_EQ(control.BuildUpdaterCommand(packages, wxT("h:1"), false).text,
            d + wxT("/KfUpdate.exe -packages \"A:1,B:2\" -srcdir \"") + d + wxT("/Updates\" -destdir \"") + d +
                wxT("\" -server \"h:1\" -type RemoteController -iscmd -version 1900"));
  // No server part without a server; the critical tail names this program.
  EXPECT_EQ(control.BuildUpdaterCommand(packages, wxT(""), true).text,
            d + wxT("/KfUpdate.exe -packages \"A:1,B:2\" -srcdir \"") + d + wxT("/Updates\" -destdir \"") + d +
                wxT("\" -type RemoteController -iscmd -version 1900 -wait 4242 -controlfile \"") + d +
                wxT("/Temp/UpdControl.xss\""));
}

TEST_F(UpdateControlTest, UpdaterThatCannotRunLetsTheConnectionGoOn) {
  process.runs = false;
  WriteFile(dir + "/KfUpdate.tmp", "new");
  CUpdateControl control(process);
  EXPECT_TRUE(control.CheckUpdate(wxT("A|1|no?1"), wxT("h")));
  EXPECT_EQ(console, wxT("The following update(s) will be installed: A (1)\n\n"));
  EXPECT_TRUE(wxFileExists(Dir() + wxT("/KfUpdate.tmp")));
}

TEST_F(UpdateControlTest, CriticalUpdateStartsTheUpdaterLeavesTheControlFileAndRefuses) {
  CUpdateControl control(process);
  EXPECT_FALSE(control.CheckUpdate(wxT("A|1|no,Core|2.15|Yes?8090"), wxT("farm")));
  EXPECT_TRUE(process.waited.empty());
  ASSERT_EQ(process.started.size(), 1u);
  const wxArrayString& argv = process.started[0];
  ASSERT_GE(argv.size(), 4u);
  EXPECT_EQ(argv[argv.size() - 4], wxT("-wait"));
  EXPECT_EQ(argv[argv.size() - 3], wxT("4242"));
  EXPECT_EQ(argv[argv.size() - 2], wxT("-controlfile"));
  EXPECT_EQ(argv[argv.size() - 1], Dir() + wxT("/Temp/UpdControl.xss"));
  EXPECT_EQ(console, wxT("The following update(s) will be installed: A, Core (2)\n"));
  EXPECT_TRUE(control.IsEndRequested());

  // The folder "Temp" was missing: the control file is written all the same.
  UExtendedSettingsScript file;
  ASSERT_TRUE(file.Load(Dir() + wxT("/Temp/UpdControl.xss"), UExtendedSettingsScript::kBlock));
  EXPECT_EQ(file.GetRootSection().GetInt(wxT("UpdateControl::ProcessID")), 777);
  EXPECT_EQ(file.GetRootSection().GetString(wxT("UpdateControl::Command")),
            wxT("\"/opt/kf farm/KfRcCmd\" -nj_name \"my job\" \"say \\\"hi\\\"\" scene.ma"));

  // While that updater runs, the program must not start.
  process.running.insert(777);
  EXPECT_TRUE(CUpdateControl(process).IsUpdateRunning());
  process.running.clear();
  EXPECT_FALSE(CUpdateControl(process).IsUpdateRunning());
}

TEST_F(UpdateControlTest, CriticalUpdaterThatCannotStartStillRefuses) {
  process.startId = 0;
  CUpdateControl control(process);
  EXPECT_FALSE(control.CheckUpdate(wxT("Core|2|yes?1"), wxT("farm")));
  EXPECT_FALSE(wxFileExists(Dir() + wxT("/Temp/UpdControl.xss")));
  EXPECT_FALSE(control.IsEndRequested());
}

TEST_F(UpdateControlTest, ControlFilesThatNameNoRunningUpdater) {
  process.running.insert(55);
  CUpdateControl control(process);
  EXPECT_FALSE(control.IsUpdateRunning());  // no file
  mkdir((dir + "/Temp").c_str(), 0777);
  WriteFile(dir + "/Temp/UpdControl.xss", "UpdateControl\n{\n  Command = \"x\"\n}\n");
  EXPECT_FALSE(control.IsUpdateRunning());  // no ProcessID
  WriteFile(dir + "/Temp/UpdControl.xss", "UpdateControl\n{\n  ProcessID = 55\n");
  EXPECT_FALSE(control.IsUpdateRunning());  // unbalanced braces: does not load
  WriteFile(dir + "/Temp/UpdControl.xss", "UpdateControl\n{\n  ProcessID = 55\n}\n");
  EXPECT_TRUE(control.IsUpdateRunning());
  WriteFile(dir + "/Temp/UpdControl.xss", "UpdateControl\n{\n  ProcessID = 56\n}\n");
  EXPECT_FALSE(control.IsUpdateRunning());
}

TEST_F(UpdateControlTest, CleanUpReplacesTheUpdaterOnlyWhenANewOneWaits) {
  CUpdateControl control(process);
  WriteFile(dir + "/KfUpdate.exe", "old");
  control.CleanUpUpdater();
  EXPECT_EQ(ReadFile(dir + "/KfUpdate.exe"), "old");
  WriteFile(dir + "/KfUpdate.tmp", "new");
  chmod((dir + "/KfUpdate.tmp").c_str(), 0755);
  control.CleanUpUpdater();
  EXPECT_EQ(ReadFile(dir + "/KfUpdate.exe"), "new");
  EXPECT_FALSE(wxFileExists(Dir() + wxT("/KfUpdate.tmp")));
  struct stat info {};
  ASSERT_EQ(stat((dir + "/KfUpdate.exe").c_str(), &info), 0);
  EXPECT_TRUE(info.st_mode & S_IXUSR);
  // Only a new one, no old one.
  remove((dir + "/KfUpdate.exe").c_str());
  WriteFile(dir + "/KfUpdate.tmp", "newer");
  control.CleanUpUpdater();
  EXPECT_EQ(ReadFile(dir + "/KfUpdate.exe"), "newer");
}

}  // namespace
