#include "app/NetJobSubmission.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"
#include "net/UserData.h"
#include "netjob/NetJobPacketMsg.h"
#include "rs/RSPool.h"
#include "TestPool.h"

namespace {

class NetJobSubmissionTest : public CmdLineTestBase {
 protected:
  void SetUp() override {
    SetUpFarm({wxT("12|Main")}, 10);
    m_user.SetJobColour(0x00123456);
  }

  bool Submit(std::vector<const char*> args, int* id) {
    CNetJobSubmission submission(Parse(args), m_pool, m_user,
                                 [this](std::unique_ptr<CNetJobPacketMsg> packet,
                                        int timeoutMs) {
                                   ++m_sent;
                                   m_timeout = timeoutMs;
                                   m_name = packet->GetBody().name;
                                   m_renderer = packet->GetBody().renderer;
                                   m_pools = packet->GetBody().pools;
                                   m_color = packet->GetBody().color;
                                   return m_answer;
                                 });
    submission.SetHostName(wxT("ws7"));
    submission.SetFileCheck([](const wxString&) { return false; });
    submission.SetDataDir(wxT("/data"));
    const bool ok = submission.Submit(id);
    m_code = submission.GetFailureCode();
    m_text = submission.GetFailureText();
    return ok;
  }

  CNetJobSubmission::Answer m_answer;
  int m_sent = 0;
  int m_timeout = 0;
  int m_code = 0;
  wxString m_text;
  wxString m_name;
  wxString m_renderer;
  wxArrayString m_pools;
  unsigned m_color = 0;
};

TEST_F(NetJobSubmissionTest, AcceptedJobGivesTheNewId) {
  m_answer.code = 1;
  m_answer.text = wxString();
  m_answer.value1 = 1234;
  int id = 0;
  ASSERT_TRUE(Submit({"-nj_renderer", "Cam", "-nj_name", "Shot", "a.ma"}, &id));
  EXPECT_EQ(id, 1234);
  EXPECT_EQ(m_sent, 1);
  EXPECT_EQ(m_timeout, 150000);
  EXPECT_EQ(m_name, wxT("Shot"));
  EXPECT_EQ(m_renderer, wxT("Test/Cam"));
  EXPECT_EQ(wxJoin(m_pools, wxT(','), wxT('\0')), wxT("12"));
  EXPECT_EQ(m_color, 0x00123456u);
}

// Refusals by the server, a user without pools, command-line and preset
// failures and where presets are looked for are compared whole end to end.
TEST_F(NetJobSubmissionTest, ALostAnswerReadsAsATimeOut) {
  int id = -7;
  EXPECT_FALSE(Submit({"-nj_renderer", "Cam", "-nj_name", "Shot", "a.ma"}, &id));
  EXPECT_EQ(id, -7);
  EXPECT_EQ(m_code, 9);
  EXPECT_EQ(m_text, wxT("Submitting net job \"Shot\" failed (message timeout)."));
}

}  // namespace
