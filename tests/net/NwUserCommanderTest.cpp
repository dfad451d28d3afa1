// Which servers the commander accepts and what it prints when the
// configuration is not enough. Nothing here reaches a server: the only
// connection attempted goes to a loopback port.
#include <gtest/gtest.h>

#include <wx/init.h>

#include "net/NwUserCommander.h"
#include "../support/LoopbackPort.h"
#include "../support/RecordingConsole.h"

namespace {

class NwUserCommanderTest : public ::testing::Test {
 protected:
  NwUserCommanderTest() {
    EXPECT_TRUE(commander.Init());
    commander.SetSettingsSource([this] { return settings; });
    settings.serverAddress = wxT("127.0.0.1");
    settings.serverPort = kftest::FreeLoopbackPort();
    settings.userName = wxT("anna");
    settings.password = wxT("secret-pw");
  }

  wxInitializer init;
  RecordingConsole output;
  wxString& console = output.text;
  CNwUserCommander::LogonSettings settings;
  CNwUserCommander commander{&output};
};

const wxChar kNotConfigured[] =
    wxT("ERROR! The remote server has not been properly configured in KfRcCmd.conf\n");

TEST_F(NwUserCommanderTest, PortsBelow1024AndEmptyHostsAreNotAConfiguration) {
  for (const wxChar* server : {wxT("127.0.0.1:1023"), wxT(":7506"), wxT("127.0.0.1:x")}) {
    console.clear();
    settings.cmdServer = server;
    EXPECT_FALSE(commander.Logon(true)) << server;
    EXPECT_EQ(console, kNotConfigured) << server;
  }
  settings.cmdServer.clear();
  settings.serverPort = 1023;
  console.clear();
  EXPECT_FALSE(commander.Logon(true));
  EXPECT_EQ(console, kNotConfigured);
  // The first port that is accepted.
  settings.cmdServer = wxT("127.0.0.1:1024");
  console.clear();
  EXPECT_FALSE(commander.Logon(false));
  EXPECT_EQ(commander.GetServerPort(), 1024);
  EXPECT_FALSE(console.Contains(kNotConfigured));
  // Nothing failed inside the engine before it ran.
  settings.cmdServer = wxT("127.0.0.1:1023");
  CNwUserCommander fresh{&output};
  fresh.SetSettingsSource([this] { return settings; });
  ASSERT_TRUE(fresh.Init());
  EXPECT_FALSE(fresh.Logon(false));
  EXPECT_EQ(fresh.GetJobSubmitter().GetFailureCode(), 1);
  EXPECT_EQ(fresh.GetJobSubmitter().GetFailureText(), wxT("Submission failed"));
}

TEST_F(NwUserCommanderTest, ALoginWithAnEmptyUserReplacesTheConfiguredOne) {
  settings.cmdLogin = true;
  settings.cmdLoginPassword = wxT("pw");
  EXPECT_FALSE(commander.Logon(false));
  EXPECT_EQ(console, wxT("ERROR! No login has been specified via commandline or KfRcCmd.conf\n"));
}

}  // namespace
