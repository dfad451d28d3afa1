#include "app/ControlCommands.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/ExecuteCommand.h"
#include "app/KfJsCore.h"
#include "net/ServerControlSender.h"
#include "net/UserData.h"

namespace {

// Accepts every message and keeps it instead of sending it.
class KeepingSender : public CServerControlSender {
 public:
  KeepingSender(const CUserData* userData, CConsole* console)
      : CServerControlSender(nullptr, userData, console) {}
  std::vector<std::unique_ptr<CServerControlMsg>> sent;

 protected:
  std::unique_ptr<CServerControlMsg> CreateMessage() override {
    return std::make_unique<CServerControlMsg>();
  }
  CNetMsgAckResult Transmit(std::unique_ptr<CServerControlMsg> message, wxUint32) override {
    sent.push_back(std::move(message));
    CNetMsgAckResult ack;
    ack.SetResult(1);
    return ack;
  }
};

struct CommandTest : ::testing::Test {
  CKfJsCore core;
  wxString console;
  CUserData user;
  KeepingSender sender{&user, &core};

  CommandTest() {
    core.SetConsoleSink([this](const wxString& t) { console += t; });
    core.SetQuiet(true);
    wxArrayString pools;
    pools.Add(wxT("12|Main"));
    pools.Add(wxT("14|Lighting"));
    user.SetPools(pools);
  }
  // Kind, target, code and argument of every message, one line each.
  wxString Sent() const {
    wxString text;
    for (const auto& m : sender.sent) {
      text += wxString::Format(wxT("%u %s %u %u %s\n"), unsigned(m.get()->kind), m->target,
                               unsigned(m->code), unsigned(m->number), m->argument);
    }
    return text;
  }
};

TEST_F(CommandTest, EntriesRunInTheOrderNetJobsChunksPools) {
  CControlCommands(core, sender)
      .Run(wxT("PAUSE:12,x,13;freeze:14;;remove"), wxT("restart:1-3,7@42;skip: 5-4 @9;skip:3"),
           wxT("stop:Main, Lighting ,"));
  EXPECT_EQ(Sent(), wxT("3 12 205 0 \n"
                        "3 13 205 0 \n"
                        "5 42 401 0 1|\n"
                        "5 42 401 0 2|\n"
                        "5 42 401 0 3|\n"
                        "5 42 401 0 7|\n"
                        "5 9 400 0 4|\n"
                        "5 9 400 0 5|\n"
                        "2 12 101 0 \n"
                        "2 14 101 0 \n"));
  EXPECT_TRUE(console.StartsWith(wxT("Net job 0012: Pausing... Done\n")));
  EXPECT_TRUE(console.EndsWith(wxT("Pool 'Lighting': Stopping... Done\n")));
  EXPECT_TRUE(core.IsQuiet());
}

TEST_F(CommandTest, ExecuteNeedsTargetsAndACommand) {
  user.GetRights().Set(CUserRights::kRemoteExecution);
  CExecuteCommand(core, sender, user).Run(wxT("node01"), wxArrayString(), false);
  wxArrayString commandLine;
  commandLine.Add(wxT("hostname"));
  CExecuteCommand(core, sender, user).Run(wxString(), commandLine, false);
  EXPECT_EQ(console, wxT("No command-line to execute supplied!\nNo target clients or pools specified!\n"));
  EXPECT_TRUE(sender.sent.empty());
}

}  // namespace
