#include "net/RemoteConnection.h"

#include "../support/RecordingConsole.h"
#include "net/ChallengeMsg.h"
#include "net/CompressedMsgBase.h"
#include "net/MsgAckMsg.h"
#include "net/NetMsgAckResult.h"
#include "net/NetEngine.h"
#include "net/OppositeInfoMsg.h"
#include "net/RequestMsg.h"
#include "platform/Machine.h"

#include "NetTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Note = std::pair<int, wxString>;

// A status line about the test server.
wxString Net(const wxString& text) { return wxT("Network: [127.0.0.1:7506] ") + text; }

class CTestConnection : public CRemoteConnection {
 public:
  explicit CTestConnection(CManualClock* clock) : m_clock(clock) {}
  ~CTestConnection() override { Disconnect(wxString(), false); }

  CFakeSocket* fake = nullptr;
  std::vector<Note> notes;
  wxString updateInfo;

  std::unique_ptr<CBaseSocket> CreateSocket() override {
    auto socket = std::make_unique<CFakeSocket>(m_clock);
    fake = socket.get();
    return socket;
  }
  void GetAddress(wxString& host, int& port) override {
    host = wxT("127.0.0.1");
    port = 7506;
  }
  void OnNotify(int code, const wxString& line, long, long, int, bool&) override {
    notes.emplace_back(code, line);
  }
  bool CheckUpdate(const wxString& info) override {
    updateInfo = info;
    return true;
  }

 private:
  CManualClock* m_clock;
};

struct Fixture {
  CManualClock clock{1000};
  RecordingConsole console;  // given to the connection by the tests that read it
  CNetEngine engine{&clock};
  CTestConnection connection{&clock};
  wxUint32 serverSerial = 100;

  Fixture() {
    engine.RegisterAll();
    connection.Init(&engine);
    connection.SetExpectedIdentifier(CChallengeMsg::kRemoteControllerId);
  }

  void Receive(const std::string& bytes) { connection.fake->incoming.push_back(bytes); }
  // The bytes the server sends for `message`, framed.
  std::string FromServer(CMsgBase& message) {
    message.SetSerial(++serverSerial);
    return Framed(SerializeToString(message), serverSerial);
  }
  std::string Ack(wxInt32 type, wxUint32 serial, bool ok, const wxString& text,
                  const std::string& data = std::string(), bool dataIsMessage = false,
                  wxUint32 value1 = 0) {
    CMsgAckMsg ack;
    ack.SetAcked(type, serial);
    ack.SetResult(ok);
    ack.SetText(text);
    ack.SetValues(value1, 0, 0);
    ack.SetData(reinterpret_cast<const wxUint8*>(data.data()), static_cast<wxUint32>(data.size()),
                dataIsMessage);
    return FromServer(ack);
  }
  // Connected, challenge sent and accepted.
  void Challenged() {
    ASSERT_TRUE(connection.Connect(true, true));
    Receive(Ack(1, 1, true, wxString()));
    connection.Process();
    ASSERT_TRUE(connection.IsReady());
    connection.fake->written.clear();
    connection.notes.clear();
  }
  // Every message the client wrote, parsed from its frames.
  std::vector<std::string> Sent() {
    std::vector<std::string> out;
    const std::string& w = connection.fake->written;
    for (size_t pos = 0; pos + 16 <= w.size();) {
      const wxUint32 length = ReadU32(w, pos);
      out.push_back(w.substr(pos + 16, length - 16));
      pos += length;
    }
    return out;
  }
};

struct RemoteConnectionTest : ::testing::Test, Fixture {};

TEST_F(RemoteConnectionTest, ConnectAndChallengeSendTheRawChallengeAndReportEachStep) {
  ASSERT_TRUE(connection.Connect(true, true));
  const std::string body =
      std::string("Kilnforge.V2.RemoteController", 30) + U32(45) + std::string(1, '\0');
  EXPECT_EQ(connection.fake->written, U32(12 + body.size()) + U32(1) + U32(1) + body);
  EXPECT_TRUE(connection.GetState().Has(CRemoteConnection::kStateChallengeSent));
  EXPECT_EQ(connection.notes, (std::vector<Note>{{6, Net(wxT("Connecting..."))},
                                                 {1, Net(wxT("Connection established"))},
                                                 {4, Net(wxT("Challenging remote machine..."))}}));
}

TEST_F(RemoteConnectionTest, AnAcceptedChallengeSendsThisSidesInformation) {
  connection.SetAlias(wxT("Render-%COMPUTERNAME%-%COMPUTERNAME%"));
  ASSERT_TRUE(connection.Connect(true, true));
  connection.fake->written.clear();
  Receive(Ack(1, 1, true, wxString(), "Renderers|2.1\0", false));
  COppositeInfoMsg server;
  server.alias = wxT("Farm server");
  server.computerName = wxT("srv01");
  Receive(FromServer(server));
  EXPECT_TRUE(connection.WaitForState(CRemoteConnection::kStatePeerInfo, 30000));

  EXPECT_EQ(connection.GetState().Get(),
            CRemoteConnection::kStateChallenged | CRemoteConnection::kStatePeerInfo);
  EXPECT_EQ(connection.updateInfo, wxT("Renderers|2.1"));
  EXPECT_EQ(connection.GetPeerComputerName(), wxT("srv01"));
  EXPECT_EQ(connection.GetPeerAlias(), wxT("Farm server"));
  EXPECT_EQ(connection.notes.back().second, Net(wxT("Challenge succeeded")));
  EXPECT_EQ(connection.FormatStatusLine(wxT("x")), wxT("Network: [srv01/127.0.0.1:7506] x"));

  const std::vector<std::string> sent = Sent();
  ASSERT_EQ(sent.size(), 1u);
  // Kind, build, computer name and memory are compared end to end.
  COppositeInfoMsg info;
  ASSERT_TRUE(Deserialize(info, sent[0]));
  const wxString host = MachineHostName();
  EXPECT_EQ(info.alias, wxT("Render-") + host + wxT("-") + host);
}

TEST_F(RemoteConnectionTest, AnAcknowledgementIsAwaitedUpToExactly30000Ms) {
  ASSERT_TRUE(connection.Connect(false, true));
  clock.Advance(30000);
  connection.Process();
  EXPECT_EQ(engine.GetAckQueue().size(), 1u);
  EXPECT_FALSE(connection.IsDisconnectPending());
  clock.Advance(1);
  connection.Process();
  EXPECT_TRUE(engine.GetAckQueue().empty());
  EXPECT_EQ(connection.GetLastAckResult().GetResult(), -1);
  EXPECT_EQ(connection.GetLastAckResult().GetText(), wxT("message timeout"));
  EXPECT_EQ(connection.GetPendingReason(),
            wxT("Challenging the target machine failed (message timeout)."));
}

// Records acknowledgement results.
struct AckSink : CSocketNotificationSink {
  std::vector<CNetMsgAckResult> results;
  void OnAckResult(const CNetMsgAckResult& result) override { results.push_back(result); }
};

TEST(NetEngineTest, TimeOutsAreReportedToBothSinksWithTheEntrysValues) {
  CManualClock clock(0xFFFFFF00u);  // across the wrap of the counter
  CNetEngine engine(&clock);
  AckSink a, b;
  CGenericMsg message;
  message.SetType(14);
  message.SetSerial(3);
  engine.AddAck(&message, &a, &b, 30000, 7, 8, 9);
  wxUint32 due = 0;
  ASSERT_TRUE(engine.GetNextAckDue(&due));
  EXPECT_EQ(due, 30001u);
  clock.Advance(30000);
  engine.CheckAckTimeouts();
  EXPECT_TRUE(a.results.empty());
  clock.Advance(1);
  engine.CheckAckTimeouts();
  ASSERT_EQ(a.results.size(), 1u);
  ASSERT_EQ(b.results.size(), 1u);
  EXPECT_EQ(a.results[0].GetType(), 14);
  EXPECT_EQ(a.results[0].GetSerial(), 3u);
  EXPECT_EQ(a.results[0].GetResult(), -1);
  EXPECT_EQ(a.results[0].GetValue3(), 9u);
  EXPECT_FALSE(engine.GetNextAckDue(&due));
}

TEST(NetEngineTest, AnAcknowledgementCarriesItsAttachedMessageAndUnmatchedOnesAreIgnored) {
  CManualClock clock;
  CNetEngine engine(&clock);
  engine.RegisterAll();
  AckSink sink;
  CGenericMsg asked;
  asked.SetType(1025);
  asked.SetSerial(4);
  engine.AddAck(&asked, &sink, nullptr, 30000);

  COppositeInfoMsg attached;
  attached.alias = wxT("inside");
  std::unique_ptr<CMsgAckMsg> stray(engine.CreateAck(&attached, true, wxT("?"), 0, 0, 0, nullptr));
  stray->SetAcked(1025, 99);
  engine.HandleAck(stray.get());
  EXPECT_TRUE(sink.results.empty());

  std::unique_ptr<CMsgAckMsg> ack(
      engine.CreateAck(&asked, true, wxT("fine"), 1234, 0, 0, &attached));
  ASSERT_TRUE(ack);
  engine.HandleAck(ack.get());
  ASSERT_EQ(sink.results.size(), 1u);
  const CNetMsgAckResult copy = sink.results[0];  // copied through a stream
  EXPECT_EQ(copy.GetValue1(), 1234u);
  const auto* info = dynamic_cast<const COppositeInfoMsg*>(copy.GetAttached());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->alias, wxT("inside"));
  EXPECT_TRUE(engine.GetAckQueue().empty());
}

TEST(PeerChallengeTest, AnotherVersionIsRefusedAndOldPeersGetARawAnswer) {
  for (wxInt32 version : {44, 29}) {
    Fixture f;
    ASSERT_TRUE(f.connection.Connect(false, false));
    CChallengeMsg challenge;
    challenge.SetIdentifier(CChallengeMsg::kRemoteControllerId);
    challenge.SetVersion(version);
    challenge.SetSerial(7);
    challenge.SetRaw(false);
    const wxUint32 before = f.clock.Now();
    f.Receive(Framed(SerializeToString(challenge), 7));
    f.connection.Process();

    const std::string& w = f.connection.fake->written;
    const bool raw = version < 30;
    ASSERT_GE(w.size(), 20u);
    // Raw: the total length comes first, then type and serial; framed: a header of one part.
    EXPECT_EQ(ReadU32(w, 0), w.size());
    const size_t start = raw ? 4 : 16;
    EXPECT_TRUE(raw || ReadU32(w, 12) == 1u);
    EXPECT_EQ(ReadU32(w, start), 1024u);
    CMsgAckMsg ack;
    ASSERT_TRUE(Deserialize(ack, w.substr(start)));
    EXPECT_EQ(ack.GetAckedType(), 1);
    EXPECT_EQ(ack.GetAckedSerial(), 7u);
    EXPECT_FALSE(ack.GetResult());
    EXPECT_EQ(ack.GetText(),
              wxString::Format(wxT("the protocol version differs; got %i, expected 45 - ")
                                   wxT("incompatible Kilnforge V2 versions)"),
                               version));
    EXPECT_EQ(f.clock.Now() - before, 500u);  // held before giving up
    EXPECT_TRUE(f.connection.IsDisconnectPending());
  }
}

std::vector<wxInt32>* g_seen = nullptr;
void SeeMessage(CRemoteConnection*, CMsgBase* message) { g_seen->push_back(message->GetType()); }

TEST_F(RemoteConnectionTest, MessagesBeforeTheChallengeAreDroppedAndNothingButChallengesIsSent) {
  std::vector<wxInt32> seen;
  g_seen = &seen;
  connection.GetMsgMap().Register(3, &SeeMessage);
  ASSERT_TRUE(connection.Connect(false, true));
  CGenericMsg text;
  text.SetType(3);
  Receive(FromServer(text));
  connection.Process();
  EXPECT_TRUE(seen.empty());
  EXPECT_FALSE(connection.Send(engine.CreateForSend(7), false));

  // Both in one read: the acknowledgement makes the message after it acceptable.
  const std::string ack = Ack(1, 1, true, wxString());
  Receive(ack + FromServer(text));
  connection.Process();
  EXPECT_EQ(seen, (std::vector<wxInt32>{3}));
  g_seen = nullptr;
}

TEST_F(RemoteConnectionTest, SendAndWaitSleepsUntilTheLateAnswerArrives) {
  Challenged();
  std::unique_ptr<CMsgBase> job = engine.CreateForSend(14);
  const wxUint32 serial = job->GetSerial();
  const wxUint32 start = clock.Now();
  connection.fake->ArriveAt(start + 10000, Ack(14, serial, true, wxT("queued"), "", false, 1234));
  const CNetMsgAckResult result = connection.SendAndWait(std::move(job), 150000);
  EXPECT_EQ(result.GetResult(), 1);
  EXPECT_EQ(result.GetValue1(), 1234u);
  EXPECT_EQ(result.GetText(), wxT("queued"));
  EXPECT_EQ(clock.Now() - start, 10000u);
  // One blocking wait, no ticks: the wait asked for the whole time-out.
  EXPECT_EQ(connection.fake->waits, 1);
  EXPECT_EQ(connection.fake->waitRequests[0], 150001u);
}

TEST(NetMsgAckResultTest, CopiesShareOneAttachedMessageThatOnlyItsLastHolderHandsOver) {
  CNetMsgAckResult result(1025, 4);
  auto attached = std::make_unique<COppositeInfoMsg>();
  attached->alias = wxT("inside");
  const CMsgBase* const original = attached.get();
  result.SetAttached(std::move(attached));
  result.SetData(reinterpret_cast<const wxUint8*>("ab"), 2);

  CNetMsgAckResult copy(result);
  EXPECT_EQ(copy.GetAttached(), original);  // shared, not serialised again
  CNetMsgAckResult assigned;
  assigned = copy;
  EXPECT_EQ(assigned.GetAttached(), original);
  assigned.SetData(reinterpret_cast<const wxUint8*>("xyz"), 3);
  EXPECT_EQ(copy.GetData().Size(), 2u);  // new data replaces, never changes what copies share

  // While others share it, a taker gets a copy of its own and they keep theirs.
  std::unique_ptr<CMsgBase> taken = copy.TakeAttached();
  ASSERT_TRUE(taken);
  EXPECT_NE(taken.get(), original);
  const auto* info = dynamic_cast<const COppositeInfoMsg*>(taken.get());
  ASSERT_TRUE(info);
  EXPECT_EQ(info->alias, wxT("inside"));
  EXPECT_EQ(copy.GetAttached(), nullptr);
  EXPECT_EQ(result.GetAttached(), original);

  assigned = CNetMsgAckResult();
  EXPECT_EQ(result.TakeAttached().get(),
            original);  // the last holder hands over the message itself
  EXPECT_EQ(result.GetAttached(), nullptr);
  EXPECT_FALSE(result.TakeAttached());
}

TEST_F(RemoteConnectionTest, TheWaiterOfAnAnswerHoldsItsMessageAlone) {
  Challenged();
  std::unique_ptr<CMsgBase> request = engine.CreateForSend(1025);
  COppositeInfoMsg answer;
  answer.alias = wxT("answer");
  CMemoryStream bytes(CMemoryStream::kWrite);
  ASSERT_TRUE(answer.Serialize(bytes));
  Receive(Ack(1025, request->GetSerial(), true, wxT("ok"),
              std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Size()), true));
  CNetMsgAckResult result = connection.SendAndWait(std::move(request), 30000);
  EXPECT_EQ(result.GetResult(), 1);
  const CMsgBase* const received = result.GetAttached();
  ASSERT_TRUE(received);
  // The connection keeps the outcome but lets go of the message, so the
  // caller takes the message itself over instead of a copy.
  EXPECT_EQ(connection.GetLastAckResult().GetText(), wxT("ok"));
  EXPECT_EQ(connection.GetLastAckResult().GetAttached(), nullptr);
  std::unique_ptr<CMsgBase> taken = result.TakeAttached();
  EXPECT_EQ(taken.get(), received);
  EXPECT_EQ(dynamic_cast<COppositeInfoMsg&>(*taken).alias, wxT("answer"));
}

TEST_F(RemoteConnectionTest, WaitsEndAtTheirTimeOutOrAtOnceWhenTheConnectionIsLost) {
  Challenged();
  const wxUint32 start = clock.Now();
  EXPECT_FALSE(connection.WaitForState(CRemoteConnection::kStateUserData0, 30000));
  EXPECT_EQ(clock.Now() - start, 30001u);
  EXPECT_LE(connection.fake->waits, 2);

  connection.fake->ArriveAt(clock.Now() + 200, std::string());
  connection.fake->peerClosesAfterIncoming = true;
  const wxUint32 lostAt = clock.Now();
  const CNetMsgAckResult result = connection.SendAndWait(engine.CreateForSend(7), 30000);
  EXPECT_EQ(result.GetResult(), -1);
  EXPECT_EQ(result.GetText(), wxT("message timeout"));
  EXPECT_LT(clock.Now() - lostAt, 1000u);
  EXPECT_FALSE(connection.IsConnected());
  EXPECT_TRUE(engine.GetAckQueue().empty());
}

TEST_F(RemoteConnectionTest, OversizedDataFromThePeerEndsTheConnectionAsATransferError) {
  connection.SetConsole(&console);
  Challenged();
  // A compressed body announcing 512 MiB unpacked.
  engine.Register(3, CLASSINFO(CCompressedMsgBase));
  const std::string body = U32(3) + U32(500) + U32(8) + U32(512u * 1024 * 1024) + "12345678";
  Receive(Framed(body, 500));
  connection.Process();
  EXPECT_FALSE(connection.IsConnected());
  const wxString reason = Net(wxT("An error occurred during data transfer (Input/Output error)"));
  EXPECT_EQ(connection.notes.back(), Note(3, reason));
  EXPECT_EQ(console.text, wxT("ERROR! ") + reason + wxT("\n"));

  // A frame longer than any frame: the socket's own error is named.
  Fixture other;
  other.Challenged();
  other.Receive(U32(1u << 30) + "xxxx");
  other.connection.Process();
  EXPECT_FALSE(other.connection.IsConnected());
  EXPECT_EQ(other.connection.notes.back().second, reason);
}

void DisconnectInHandler(CRemoteConnection* owner, CMsgBase*) {
  owner->Disconnect(wxT("asked"), true);
}

TEST_F(RemoteConnectionTest, ADisconnectInsideAHandlerWaitsUntilThePendingDisconnectIsProcessed) {
  connection.GetMsgMap().Register(9, &DisconnectInHandler);
  Challenged();
  CGenericMsg message;
  message.SetType(9);
  Receive(FromServer(message));
  connection.Process();
  EXPECT_TRUE(connection.IsConnected());
  EXPECT_TRUE(connection.IsDisconnectPending());
  EXPECT_EQ(connection.GetPendingReason(), wxT("asked"));
  EXPECT_FALSE(connection.WaitForState(CRemoteConnection::kStateUserData1, 30000));  // at once

  EXPECT_FALSE(connection.ProcessPendingDisconnect());
  EXPECT_EQ(connection.GetSocket(), nullptr);
  EXPECT_EQ(connection.GetState().Get(), 0u);
  ASSERT_GE(connection.notes.size(), 2u);
  EXPECT_EQ(connection.notes[connection.notes.size() - 2].first, 7);
  EXPECT_EQ(connection.notes.back().second, Net(wxT("Disconnected (asked)")));
  EXPECT_TRUE(connection.ProcessPendingDisconnect());
}

TEST_F(RemoteConnectionTest, RequestsAreAnsweredWithAnEmptyMessageOfTheRequestedType) {
  Challenged();
  CRequestMsg byMessage;
  byMessage.requestedType = 5;  // a type without a class of its own
  CRequestMsg byAck;
  byAck.mode = CRequestMsg::kAnswerWithAck;
  byAck.requestedType = 6;
  const std::string first = FromServer(byMessage);
  Receive(first + FromServer(byAck));
  connection.Process();
  const std::vector<std::string> sent = Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].substr(0, 4), U32(5));
  EXPECT_EQ(sent[0].size(), 8u);
  CMsgAckMsg ack;
  ASSERT_TRUE(Deserialize(ack, sent[1]));
  EXPECT_EQ(ack.GetType(), 1024);
  EXPECT_EQ(ack.GetAckedType(), 1025);
  EXPECT_EQ(ack.GetAckedSerial(), serverSerial);
  EXPECT_TRUE(ack.GetResult());
  wxInt32 attachedType = 0;
  ASSERT_TRUE(ack.GetAttachedType(&attachedType));
  EXPECT_EQ(attachedType, 6);
  EXPECT_EQ(ack.GetData().Size(), 8u);
}

}  // namespace
