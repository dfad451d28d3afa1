#include "net/ServerControlSender.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <vector>

#include "../support/RecordingConsole.h"
#include "../support/Strings.h"
#include "net/UserData.h"

namespace {

// Keeps every message instead of sending it and answers from a script of
// results (success when the script is empty).
class RecordingSender : public CServerControlSender {
 public:
  RecordingSender(const CUserData* userData, CConsole* console)
      : CServerControlSender(nullptr, userData, console) {}

  std::vector<std::unique_ptr<CServerControlMsg>> sent;
  std::vector<wxUint32> timeouts;
  std::deque<CNetMsgAckResult> answers;

 protected:
  std::unique_ptr<CServerControlMsg> CreateMessage() override {
    return std::make_unique<CServerControlMsg>();
  }
  CNetMsgAckResult Transmit(std::unique_ptr<CServerControlMsg> message,
                            wxUint32 timeoutMs) override {
    sent.push_back(std::move(message));
    timeouts.push_back(timeoutMs);
    CNetMsgAckResult ack;
    ack.SetResult(1);
    if (!answers.empty()) {
      ack = answers.front();
      answers.pop_front();
    }
    return ack;
  }
};

struct SenderTest : ::testing::Test {
  RecordingConsole output;
  wxString& console = output.text;
  CUserData user;
  RecordingSender sender{&user, &output};

  SenderTest() { user.SetPools(Strings({"12|Main", "14|Lighting"})); }
};

// The verbs, the lines printed, the messages sent and a time-out are compared
// whole end to end; here the length of the wait and what the farm cannot show.
TEST_F(SenderTest, EachControlWaitsUpTo30000Ms) {
  sender.ControlNetJobs(wxT("Unpause"), {12});
  ASSERT_EQ(sender.timeouts.size(), 1u);
  EXPECT_EQ(sender.timeouts[0], 30000u);
}

TEST_F(SenderTest, ChunkNumbersWiderThanThreeDigitsAreWrittenWhole) {
  sender.ControlChunks(wxT("skip"), 7, {1000});
  EXPECT_EQ(console, wxT("Net job 0007, Chunk 1000: Skipping... Done\n"));
  ASSERT_EQ(sender.sent.size(), 1u);
  EXPECT_EQ(sender.sent[0]->argument, wxT("1000|"));
}

TEST_F(SenderTest, ARefusalWithoutAReasonLeavesTheReasonEmpty) {
  CNetMsgAckResult refusal;
  refusal.SetResult(0);
  refusal.SetText(wxString());
  sender.answers.push_back(refusal);
  wxString error = wxT("before");
  EXPECT_FALSE(sender.SendControl(CServerControlMsg::kNetJob, wxT("1"), 201, error));
  EXPECT_EQ(error, wxT(""));
  EXPECT_TRUE(sender.SendControl(CServerControlMsg::kNetJob, wxT("1"), 201, error));
}

}  // namespace
