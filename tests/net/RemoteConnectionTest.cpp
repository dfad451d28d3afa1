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

#include <functional>
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
  std::function<void(CFakeSocket&)> setup;
  std::vector<Note> notes;
  wxString updateInfo;
  bool updateOk = true;

  std::unique_ptr<CBaseSocket> CreateSocket() override {
    auto socket = std::make_unique<CFakeSocket>(m_clock);
    fake = socket.get();
    if (setup) setup(*fake);
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
    return updateOk;
  }

 private:
  CManualClock* m_clock;
};

struct Fixture {
  CManualClock clock{1000};
  CNetEngine engine{&clock};
  CTestConnection connection{&clock};
  wxUint32 serverSerial = 100;

  Fixture() {
    engine.RegisterAll();
    connection.Init(&engine);
    connection.SetExpectedIdentifier(CChallengeMsg::kRemoteControllerId);
  }

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
  std::string ServerInfo() {
    COppositeInfoMsg info;
    info.alias = wxT("Farm server");
    info.computerName = wxT("srv01");
    return FromServer(info);
  }
  // Connected, challenge sent and accepted.
  void Challenged() {
    ASSERT_TRUE(connection.Connect(true, true));
    connection.fake->incoming.push_back(Ack(1, 1, true, wxString()));
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

TEST(RemoteConnectionTest, ConnectAndChallengeSendTheRawChallengeAndReportEachStep) {
  Fixture f;
  ASSERT_TRUE(f.connection.Connect(true, true));
  const std::string body =
      std::string("Kilnforge.V2.RemoteController", 30) + U32(45) + std::string(1, '\0');
  EXPECT_EQ(f.connection.fake->written, U32(12 + body.size()) + U32(1) + U32(1) + body);
  EXPECT_TRUE(f.connection.GetState().Has(CRemoteConnection::kStateChallengeSent));
  EXPECT_EQ(f.connection.notes,
            (std::vector<Note>{{6, Net(wxT("Connecting..."))},
                               {1, Net(wxT("Connection established"))},
                               {4, Net(wxT("Challenging remote machine..."))}}));
}

TEST(RemoteConnectionTest, AnAcceptedChallengeSendsThisSidesInformation) {
  Fixture f;
  f.connection.SetAlias(wxT("Render-%COMPUTERNAME%-%COMPUTERNAME%"));
  ASSERT_TRUE(f.connection.Connect(true, true));
  f.connection.fake->written.clear();
  f.connection.fake->incoming.push_back(f.Ack(1, 1, true, wxString(), "Renderers|2.1\0", false));
  f.connection.fake->incoming.push_back(f.ServerInfo());
  EXPECT_TRUE(f.connection.WaitForState(CRemoteConnection::kStatePeerInfo, 30000));

  EXPECT_EQ(f.connection.GetState().Get(),
            CRemoteConnection::kStateChallenged | CRemoteConnection::kStatePeerInfo);
  EXPECT_EQ(f.connection.updateInfo, wxT("Renderers|2.1"));
  EXPECT_EQ(f.connection.GetPeerComputerName(), wxT("srv01"));
  EXPECT_EQ(f.connection.GetPeerAlias(), wxT("Farm server"));
  EXPECT_EQ(f.connection.notes.back().second, Net(wxT("Challenge succeeded")));
  EXPECT_EQ(f.connection.FormatStatusLine(wxT("x")), wxT("Network: [srv01/127.0.0.1:7506] x"));

  const std::vector<std::string> sent = f.Sent();
  ASSERT_EQ(sent.size(), 1u);
  // Kind, build, computer name and memory are compared end to end.
  COppositeInfoMsg info;
  ASSERT_TRUE(Deserialize(info, sent[0]));
  const wxString host = MachineHostName();
  EXPECT_EQ(info.alias, wxT("Render-") + host + wxT("-") + host);
}

TEST(RemoteConnectionTest, AnAcknowledgementIsAwaitedUpToExactly30000Ms) {
  Fixture f;
  ASSERT_TRUE(f.connection.Connect(false, true));
  f.clock.Advance(30000);
  f.connection.Process();
  EXPECT_EQ(f.engine.GetAckQueue().size(), 1u);
  EXPECT_FALSE(f.connection.IsDisconnectPending());
  f.clock.Advance(1);
  f.connection.Process();
  EXPECT_TRUE(f.engine.GetAckQueue().empty());
  EXPECT_EQ(f.connection.GetLastAckResult().GetResult(), -1);
  EXPECT_EQ(f.connection.GetLastAckResult().GetText(), wxT("message timeout"));
  EXPECT_EQ(f.connection.GetPendingReason(),
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

TEST(RemoteConnectionTest, APeerChallengeOfAnotherVersionIsRefusedAndOldPeersGetARawAnswer) {
  for (wxInt32 version : {44, 29}) {
    Fixture f;
    ASSERT_TRUE(f.connection.Connect(false, false));
    CChallengeMsg challenge;
    challenge.SetIdentifier(CChallengeMsg::kRemoteControllerId);
    challenge.SetVersion(version);
    challenge.SetSerial(7);
    challenge.SetRaw(false);
    const wxUint32 before = f.clock.Now();
    f.connection.fake->incoming.push_back(Framed(SerializeToString(challenge), 7));
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

TEST(RemoteConnectionTest, MessagesBeforeTheChallengeAreDroppedAndNothingButChallengesIsSent) {
  std::vector<wxInt32> seen;
  g_seen = &seen;
  Fixture f;
  f.connection.GetMsgMap().Register(3, &SeeMessage);
  f.connection.GetMsgMap().Register(3, &SeeMessage);
  ASSERT_TRUE(f.connection.Connect(false, true));
  CGenericMsg text;
  text.SetType(3);
  f.connection.fake->incoming.push_back(f.FromServer(text));
  f.connection.Process();
  EXPECT_TRUE(seen.empty());
  EXPECT_FALSE(f.connection.Send(f.engine.CreateForSend(7), false));

  // Both in one read: the acknowledgement makes the message after it acceptable.
  const std::string ack = f.Ack(1, 1, true, wxString());
  f.connection.fake->incoming.push_back(ack + f.FromServer(text));
  f.connection.Process();
  EXPECT_EQ(seen, (std::vector<wxInt32>{3, 3}));  // both handlers
  g_seen = nullptr;
}

TEST(RemoteConnectionTest, SendAndWaitSleepsUntilTheLateAnswerArrives) {
  Fixture f;
  f.Challenged();
  std::unique_ptr<CMsgBase> job = f.engine.CreateForSend(14);
  const wxUint32 serial = job->GetSerial();
  const wxUint32 start = f.clock.Now();
  f.connection.fake->ArriveAt(start + 10000,
                              f.Ack(14, serial, true, wxT("queued"), "", false, 1234));
  const CNetMsgAckResult result = f.connection.SendAndWait(std::move(job), 150000);
  EXPECT_EQ(result.GetResult(), 1);
  EXPECT_EQ(result.GetValue1(), 1234u);
  EXPECT_EQ(result.GetText(), wxT("queued"));
  EXPECT_EQ(f.clock.Now() - start, 10000u);
  // One blocking wait, no ticks: the wait asked for the whole time-out.
  EXPECT_EQ(f.connection.fake->waits, 1);
  EXPECT_EQ(f.connection.fake->waitRequests[0], 150001u);
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

TEST(RemoteConnectionTest, TheWaiterOfAnAnswerHoldsItsMessageAlone) {
  Fixture f;
  f.Challenged();
  std::unique_ptr<CMsgBase> request = f.engine.CreateForSend(1025);
  COppositeInfoMsg answer;
  answer.alias = wxT("answer");
  CMemoryStream bytes(CMemoryStream::kWrite);
  ASSERT_TRUE(answer.Serialize(bytes));
  f.connection.fake->incoming.push_back(
      f.Ack(1025, request->GetSerial(), true, wxT("ok"),
            std::string(reinterpret_cast<const char*>(bytes.Data()), bytes.Size()), true));
  CNetMsgAckResult result = f.connection.SendAndWait(std::move(request), 30000);
  EXPECT_EQ(result.GetResult(), 1);
  const CMsgBase* const received = result.GetAttached();
  ASSERT_TRUE(received);
  // The connection keeps the outcome but lets go of the message, so the
  // caller takes the message itself over instead of a copy.
  EXPECT_EQ(f.connection.GetLastAckResult().GetText(), wxT("ok"));
  EXPECT_EQ(f.connection.GetLastAckResult().GetAttached(), nullptr);
  std::unique_ptr<CMsgBase> taken = result.TakeAttached();
  EXPECT_EQ(taken.get(), received);
  EXPECT_EQ(dynamic_cast<COppositeInfoMsg&>(*taken).alias, wxT("answer"));
}

TEST(RemoteConnectionTest, WaitsEndAtTheirTimeOutOrAtOnceWhenTheConnectionIsLost) {
  Fixture f;
  f.Challenged();
  const wxUint32 start = f.clock.Now();
  EXPECT_FALSE(f.connection.WaitForState(CRemoteConnection::kStateUserData0, 30000));
  EXPECT_EQ(f.clock.Now() - start, 30001u);
  EXPECT_LE(f.connection.fake->waits, 2);

  f.connection.fake->ArriveAt(f.clock.Now() + 200, std::string());
  f.connection.fake->peerClosesAfterIncoming = true;
  const wxUint32 lostAt = f.clock.Now();
  const CNetMsgAckResult result = f.connection.SendAndWait(f.engine.CreateForSend(7), 30000);
  EXPECT_EQ(result.GetResult(), -1);
  EXPECT_EQ(result.GetText(), wxT("message timeout"));
  EXPECT_LT(f.clock.Now() - lostAt, 1000u);
  EXPECT_FALSE(f.connection.IsConnected());
  EXPECT_TRUE(f.engine.GetAckQueue().empty());
}

TEST(RemoteConnectionTest, OversizedDataFromThePeerEndsTheConnectionAsATransferError) {
  RecordingConsole output;
  wxString& console = output.text;
  Fixture f;
  f.connection.SetConsole(&output);
  f.Challenged();
  // A compressed body announcing 512 MiB unpacked.
  f.engine.Register(3, CLASSINFO(CCompressedMsgBase));
  const std::string body = U32(3) + U32(500) + U32(8) + U32(512u * 1024 * 1024) + "12345678";
  f.connection.fake->incoming.push_back(Framed(body, 500));
  f.connection.Process();
  EXPECT_FALSE(f.connection.IsConnected());
  const wxString reason = Net(wxT("An error occurred during data transfer (Input/Output error)"));
  EXPECT_EQ(f.connection.notes.back(), Note(3, reason));
  EXPECT_EQ(console, wxT("ERROR! ") + reason + wxT("\n"));

  // A frame longer than any frame: the socket's own error is named.
  Fixture g;
  g.Challenged();
  g.connection.fake->incoming.push_back(U32(1u << 30) + "xxxx");
  g.connection.Process();
  EXPECT_FALSE(g.connection.IsConnected());
  EXPECT_EQ(g.connection.notes.back().second, reason);
}

void DisconnectInHandler(CRemoteConnection* owner, CMsgBase*) {
  owner->Disconnect(wxT("asked"), true);
}

TEST(RemoteConnectionTest, ADisconnectInsideAHandlerWaitsUntilThePendingDisconnectIsProcessed) {
  Fixture f;
  f.connection.GetMsgMap().Register(9, &DisconnectInHandler);
  f.Challenged();
  CGenericMsg message;
  message.SetType(9);
  f.connection.fake->incoming.push_back(f.FromServer(message));
  f.connection.Process();
  EXPECT_TRUE(f.connection.IsConnected());
  EXPECT_TRUE(f.connection.IsDisconnectPending());
  EXPECT_EQ(f.connection.GetPendingReason(), wxT("asked"));
  EXPECT_FALSE(f.connection.WaitForState(CRemoteConnection::kStateUserData1, 30000));  // at once

  EXPECT_FALSE(f.connection.ProcessPendingDisconnect());
  EXPECT_EQ(f.connection.GetSocket(), nullptr);
  EXPECT_EQ(f.connection.GetState().Get(), 0u);
  ASSERT_GE(f.connection.notes.size(), 2u);
  EXPECT_EQ(f.connection.notes[f.connection.notes.size() - 2].first, 7);
  EXPECT_EQ(f.connection.notes.back().second, Net(wxT("Disconnected (asked)")));
  EXPECT_TRUE(f.connection.ProcessPendingDisconnect());
}

TEST(RemoteConnectionTest, RequestsAreAnsweredWithAnEmptyMessageOfTheRequestedType) {
  Fixture f;
  f.Challenged();
  CRequestMsg byMessage;
  byMessage.requestedType = 5;  // a type without a class of its own
  CRequestMsg byAck;
  byAck.mode = CRequestMsg::kAnswerWithAck;
  byAck.requestedType = 6;
  const std::string first = f.FromServer(byMessage);
  f.connection.fake->incoming.push_back(first + f.FromServer(byAck));
  f.connection.Process();
  const std::vector<std::string> sent = f.Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].substr(0, 4), U32(5));
  EXPECT_EQ(sent[0].size(), 8u);
  CMsgAckMsg ack;
  ASSERT_TRUE(Deserialize(ack, sent[1]));
  EXPECT_EQ(ack.GetType(), 1024);
  EXPECT_EQ(ack.GetAckedType(), 1025);
  EXPECT_EQ(ack.GetAckedSerial(), f.serverSerial);
  EXPECT_TRUE(ack.GetResult());
  wxInt32 attachedType = 0;
  ASSERT_TRUE(ack.GetAttachedType(&attachedType));
  EXPECT_EQ(attachedType, 6);
  EXPECT_EQ(ack.GetData().Size(), 8u);
}

}  // namespace
