#include "app/NetJobSubmission.h"

#include <gtest/gtest.h>

#include <memory>

#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"
#include "net/UserData.h"
#include "netjob/NetJobPacketMsg.h"
#include "rs/RSPool.h"
#include "TestPool.h"

namespace {

// What the packet holds, the refusals and a lost answer are compared end to
// end; a silent server would hold that test for the whole wait, so the wait
// given to the send is checked here.
class NetJobSubmissionTest : public CmdLineTestBase {};

TEST_F(NetJobSubmissionTest, AcceptedJobGivesTheNewIdAfterAWaitOf150Seconds) {
  SetUpFarm({"12|Main"}, 10);
  int sent = 0;
  int timeout = 0;
  CNetJobSubmission submission(Parse({"-nj_renderer", "Cam", "-nj_name", "Shot", "a.ma"}), m_pool,
                               m_user, [&](std::unique_ptr<CNetJobPacketMsg>, int timeoutMs) {
                                 ++sent;
                                 timeout = timeoutMs;
                                 return CNetJobSubmission::Answer{1, wxString(), 1234};
                               });
  submission.SetHostName(wxT("ws7"));
  submission.SetFileCheck([](const wxString&) { return false; });
  submission.SetDataDir(wxT("/data"));
  int id = 0;
  ASSERT_TRUE(submission.Submit(&id));
  EXPECT_EQ(id, 1234);
  EXPECT_EQ(sent, 1);
  EXPECT_EQ(timeout, 150000);
}

}  // namespace
