#include "app/KfJsCore.h"

#include "net/MsgBase.h"
#include "net/NetEngine.h"
#include "settings/LogFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../support/TempDir.h"

#include <memory>
#include <utility>

namespace {

struct CapturedCore {
  CKfJsCore core;
  wxString console;
  wxString log;
  CapturedCore() {
    core.SetConsoleSink([this](const wxString& t) { console += t; });
    core.SetLogSink([this](const wxString& t) { log += t; });
  }
};

TEST(KfJsCoreTest, QuietHidesLevelZeroAndOneButNotErrorsOrDebug) {
  CapturedCore c;
  c.core.SetQuiet(true);
  c.core.OutputLevel(0, wxT("plain %i\n"), 1);
  c.core.OutputLevel(1, wxT("careful\n"));
  c.core.OutputLevel(2, wxT("broken %s\n"), wxString(wxT("x")));
  c.core.OutputLevel(3, wxT("trace\n"));
  EXPECT_EQ(c.console, wxT("ERROR! broken x\nDEBUG! trace\n"));
  EXPECT_TRUE(c.core.IsQuiet());
  // The log copy sees everything, quiet or not.
  EXPECT_EQ(c.log, wxT("plain 1\nWARNING! careful\nERROR! broken x\nDEBUG! trace\n"));
}

TEST(KfJsCoreTest, FormattedTextIsNotFormattedTwice) {
  CapturedCore c;
  c.core.Output(wxT("%s\n"), wxString(wxT("100%s %d")));
  c.core.Output(wxT("50%\n"));
  EXPECT_EQ(c.console, wxT("100%s %d\n50%\n"));
}

TEST(KfJsCoreTest, TranscriptThroughTheCoreIsByteExactAndIgnoresQuiet) {
  TempDir m_dir;
  CKfJsCore core;
  core.SetUserDir(m_dir.Path());
  wxString console;
  core.SetConsoleSink([&](const wxString& t) { console += t; });
  CLogFile log;
  ASSERT_TRUE(log.OpenPath(core.GetDataPath(wxT("KfRcCmd.log"), true)));
  core.SetLogSink(log.Sink());

  core.Output(wxT("Scene %s at 100%%\n"), wxString::FromUTF8("/tmp/szene_ü %d.max"));
  core.SetQuiet(true);
  core.Output(wxT("progress only in the log\n"));
  core.OutputLevel(2, wxT("Login failed\n"));
  core.OutputRule(wxT('='), 3);
  core.SetLogSink(nullptr);

  EXPECT_EQ(m_dir.Read("KfRcCmd.log"),
            "Scene /tmp/szene_\xC3\xBC %d.max at 100%\n"
            "progress only in the log\n"
            "ERROR! Login failed\n"
            "===\n");
  EXPECT_EQ(console, wxString::FromUTF8("Scene /tmp/szene_ü %d.max at 100%\nERROR! Login failed\n"));
  EXPECT_FALSE(log.HasError());
}

TEST(KfJsCoreTest, TheCoresQueueIsTheGlobalQueueForItsLifetime) {
  {
    CKfJsCore core;
    EXPECT_EQ(UEventQueue::Global(), &core.GetEventQueue());
  }
  EXPECT_EQ(UEventQueue::Global(), nullptr);
}

TEST(KfJsCoreTest, DataPathUsesUserDirOnlyWhenAskedAndSet) {
  CKfJsCore core;
  core.SetProgramDir(wxT("/opt/kf"));
  EXPECT_EQ(core.GetDataPath(wxT("KfRcCmd.conf"), true), wxT("/opt/kf/KfRcCmd.conf"));
  core.SetUserDir(wxT("/home/u/kf/"));
  EXPECT_EQ(core.GetDataPath(wxT("Temp"), true), wxT("/home/u/kf/Temp"));
  EXPECT_EQ(core.GetDataPath(wxT("Python"), false), wxT("/opt/kf/Python"));
}

TEST(KfJsCoreTest, PerUserFoldersOnlyWhenTheProgramDirectoryIsAnotherUsers) {
  TempDir dir;
  CKfJsCore core;
  core.SetProgramDir(dir.Dir());
  const auto env = [](const char* name) {
    return wxString(name) == wxT("XDG_CACHE_HOME") ? wxString(wxT("/c")) : wxString();
  };
  // The user's own program directory: everything stays beside the program.
  core.SetUserFolders(CUserFolders(env, geteuid(), wxT("/home/u")));
  EXPECT_FALSE(core.IsSharedInstall());
  EXPECT_EQ(core.GetDefaultUserDir(), wxT(""));
  EXPECT_EQ(core.GetRendererCacheDir(), dir.Dir() + wxT("Renderers"));
  EXPECT_EQ(core.GetUserConfigDir(), wxT("/home/u/.config/kilnforge"));
  // Another user's (root's) program directory.
  core.SetUserFolders(CUserFolders(env, geteuid() + 1, wxT("/home/u")));
  EXPECT_TRUE(core.IsSharedInstall());
  EXPECT_EQ(core.GetDefaultUserDir(), wxT("/home/u/.local/state/kilnforge"));
  EXPECT_EQ(core.GetRendererCacheDir(), wxT("/c/kilnforge/Renderers"));
  core.SetUserDir(dir.Path("state/kilnforge"));
  core.MakeUserDir();
  struct stat st;
  ASSERT_EQ(stat(std::string(dir.Path("state/kilnforge").utf8_str()).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

}  // namespace

// The class of each type is checked by name only: naming a class here would
// link it into the test and hide a registry that finds classes by name.
TEST(KfJsCoreTest, EveryTypeOfTheMessageTableCreatesItsOwnClass) {
  const std::pair<wxInt32, const char*> table[] = {
      {0, "CGenericMsg"},       {1, "CChallengeMsg"},       {2, "COppositeInfoMsg"}, {3, "CTextMsg"},
      {7, "CLoginMsg"},         {8, "CUserData0Msg"},       {9, "CUserData1Msg"},    {14, "CNetJobPacketMsg"},
      {15, "CServerControlMsg"}, {22, "CRSDataMsg"},        {24, "CDataQueryMsg"},   {1024, "CMsgAckMsg"},
      {1025, "CRequestMsg"},
  };
  CKfJsCore::AddMessageClasses();
  CNetEngine engine;
  ASSERT_TRUE(engine.RegisterAll());
  for (const auto& [type, name] : table) {
    std::unique_ptr<CMsgBase> message(engine.Create(type));
    ASSERT_TRUE(message) << type;
    EXPECT_EQ(wxString(message->GetClassInfo()->GetClassName()), wxString(name)) << type;
    EXPECT_EQ(message->GetType(), type);
  }
}
