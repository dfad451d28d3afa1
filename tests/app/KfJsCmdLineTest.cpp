#include "app/KfJsCmdLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "../support/Strings.h"
#include "../support/TempDir.h"

namespace {

struct CmdLine : CKfJsCmdLine {
  CmdLine() = default;
  // A command line that has parsed `args` with `defaults`, which must succeed.
  explicit CmdLine(std::initializer_list<const char*> args, const std::string& defaults = "") {
    EXPECT_TRUE(ParseArgs(args, defaults));
  }
  bool ParseArgs(std::initializer_list<const char*> args, const std::string& defaults = "") {
    SetArguments(Strings(args));
    if (!defaults.empty()) {
      m_dir.Write("KfRcDefaults.conf", defaults);
      SetDefaultsFile(m_dir.Path("KfRcDefaults.conf"));
    }
    return Parse();
  }
  // A switch's value with the defaults applied, none when it has none.
  std::optional<long> Long(const wxChar* name) {
    long value = 0;
    return GetSwitchLong(name, &value) ? std::optional<long>(value) : std::nullopt;
  }
  std::optional<wxString> Text(const wxChar* name) {
    wxString value;
    return GetSwitchString(name, &value) ? std::optional<wxString>(value) : std::nullopt;
  }
  TempDir m_dir;
};

// Each command, "-env" and an empty command line are the end-to-end tests'.
TEST(KfJsCmdLineTest, CommandLineWithoutACommandIsIncomplete) {
  EXPECT_FALSE(CmdLine().ParseArgs({"-nj_priority", "5", "-compact"}));
}

TEST(KfJsCmdLineTest, ResolvesGeneralSwitches) {
  CmdLine c({"-login", " bob:se:cret ", "-query", " a ", "-QUERY", "b", "-control_nj=1,pause",
             "-listrenderers", "-compact", "-nj_preset", "p1", "-nj_preset", "p 2",
             "-execute_idleonly", "-retnjid", "-log"});
  EXPECT_EQ(c.GetLoginUser(), wxT("bob"));
  EXPECT_EQ(c.GetLoginPassword(), wxT("se"));
  EXPECT_EQ(c.GetQuery(), wxT("a;b"));
  EXPECT_EQ(c.GetNetJobControls(), wxT("1,pause"));
  EXPECT_TRUE(c.IsListRenderers());
  EXPECT_EQ(c.GetRendererGroup(), wxT(""));
  EXPECT_TRUE(c.IsCompact() && c.IsReturnJobId() && c.IsLog());
  EXPECT_FALSE(c.IsHelp() || c.IsListPools() || c.IsConnectionFree());
  // Read only together with -execute.
  EXPECT_FALSE(c.IsIdleOnly());
  ASSERT_EQ(c.GetPresets().GetCount(), 2u);
  EXPECT_EQ(c.GetPresets()[1], wxT("p 2"));

  // A user without a password (one without a user name is the end-to-end tests').
  CmdLine d({"-login", "alice", "-listpools"});
  EXPECT_EQ(d.GetLoginUser(), wxT("alice"));
  EXPECT_EQ(d.GetLoginPassword(), wxT(""));
  EXPECT_TRUE(d.IsLoginGiven());
}

const char kDefaults[] =
    "[Defaults]\n"
    "server = 10.0.0.1:7000\n"
    "login = site:pw\n"
    "userdir = /srv/kf\n"
    "nj_priority = 4\n"
    "nj_name =   \n"
    "nj_clientlimit =\n"
    "[Night]\n"
    "server = 10.9.9.9\n"
    "login = night\n"
    "nj_priority = 2\n"
    "nj_project = Film\n"
    "[Night.Sub]\n"
    "nj_project = Deep\n";

TEST(KfJsCmdLineTest, DefaultsComeFromTheNamedSectionButConnectionFromDefaults) {
  CmdLine c({"-defsection", "Night", "scene.max"}, kDefaults);
  EXPECT_EQ(c.GetServer(), wxT("10.0.0.1:7000"));
  EXPECT_EQ(c.GetLoginUser(), wxT("site"));
  EXPECT_EQ(c.GetUserDir(), wxT("/srv/kf"));
  EXPECT_EQ(c.Long(wxT("nj_priority")), 2);
  EXPECT_EQ(c.Text(wxT("nj_project")), wxT("Film"));

  // The command line wins; a dotted section path reaches a nested section.
  CmdLine d({"-defsection", "Night.Sub", "-server", "h", "-nj_priority", "9", "s"}, kDefaults);
  EXPECT_EQ(d.GetServer(), wxT("h"));
  EXPECT_EQ(d.Long(wxT("nj_priority")), 9);
  EXPECT_EQ(d.Text(wxT("nj_project")), wxT("Deep"));
}

TEST(KfJsCmdLineTest, EmptyDefaultsCountOnlyForIntegers) {
  CmdLine c({"scene.max"}, kDefaults);
  wxString name = wxT("unchanged");
  EXPECT_FALSE(c.GetSwitchString(wxT("nj_name"), &name));
  EXPECT_EQ(name, wxT("unchanged"));
  EXPECT_EQ(c.Long(wxT("nj_clientlimit")), 0);
  EXPECT_EQ(c.Long(wxT("nj_deptype")), std::nullopt);
  // A section that does not exist, and no file at all, leave the command line alone.
  CmdLine d({"-defsection", "Nowhere", "scene.max"}, kDefaults);
  EXPECT_EQ(d.Long(wxT("nj_priority")), std::nullopt);
  CmdLine e;
  e.SetDefaultsFile(wxT("/nonexistent/KfRcDefaults.conf"));
  ASSERT_TRUE(e.ParseArgs({"scene.max"}));
  EXPECT_TRUE(e.GetServer().empty());
}

TEST(KfJsCmdLineTest, TheUsersOwnDefaultsWinKeyByKey) {
  CmdLine c;
  c.m_dir.Write("user.conf",
                "[Defaults]\nnj_priority = 9\nlogin = anna:own\n[Nightly]\nnj_notes = mine\n");
  c.SetUserDefaultsFile(c.m_dir.Path("user.conf"));
  ASSERT_TRUE(c.ParseArgs({"scene.max"},
                          "[Defaults]\nnj_priority = 3\nnj_name = site\nserver = farm:7000\n"));
  EXPECT_EQ(c.Long(wxT("nj_priority")), 9);
  EXPECT_EQ(c.Text(wxT("nj_name")), wxT("site"));
  EXPECT_EQ(c.GetServer(), wxT("farm:7000"));
  EXPECT_EQ(c.GetLoginUser(), wxT("anna"));
  EXPECT_EQ(c.GetLoginPassword(), wxT("own"));
  // The command line still wins over both.
  CmdLine d;
  d.SetUserDefaultsFile(c.m_dir.Path("user.conf"));
  ASSERT_TRUE(d.ParseArgs({"-nj_priority", "2", "scene.max"}));
  EXPECT_EQ(d.Long(wxT("nj_priority")), 2);
}

}  // namespace
