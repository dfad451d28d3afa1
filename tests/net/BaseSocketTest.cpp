#include "net/BaseSocket.h"

#include "NetTestSupport.h"

#include <gtest/gtest.h>

namespace {

// A connected fake socket with a recording sink.
struct Wire {
  CManualClock clock;
  CFakeSocket socket{&clock};
  CRecordingSink sink;
  Wire() {
    socket.AddSink(&sink);
    EXPECT_TRUE(socket.Connect(wxT("127.0.0.1"), 7506));
  }
  void Feed(const std::string& bytes) {
    socket.ProcessReceived(reinterpret_cast<const wxUint8*>(bytes.data()),
                           static_cast<wxUint32>(bytes.size()));
  }
};
struct BaseSocketSendTest : ::testing::Test, Wire {};
struct BaseSocketReceiveTest : ::testing::Test, Wire {};

// A message of `size` serialized bytes (8 of them type and serial).
CBlobMsg MessageOfSize(size_t size, wxUint32 serial) {
  std::string body(size - 8, '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i * 7 + 3);
  CBlobMsg message(body);
  message.SetSerial(serial);
  return message;
}

TEST_F(BaseSocketSendTest, CutsMessagesIntoFramesOfAtMost16384Bytes) {
  CBlobMsg exact = MessageOfSize(16368, 5);
  ASSERT_TRUE(socket.SendMsg(&exact));
  EXPECT_EQ(socket.written, U32(16384) + U32(5) + U32(0) + U32(1) + SerializeToString(exact));

  socket.written.clear();
  CBlobMsg over = MessageOfSize(16369, 6);
  ASSERT_TRUE(socket.SendMsg(&over));
  const std::string serialized = SerializeToString(over);
  EXPECT_EQ(socket.written,
            Frame(6, 0, 2, serialized.substr(0, 16368)) + Frame(6, 1, 2, serialized.substr(16368)));
}

TEST_F(BaseSocketSendTest, RawMessagesGoOutAsOneUnitLedByTheirTotalLength) {
  CBlobMsg raw = MessageOfSize(20000, 9);
  raw.SetRaw(true);
  ASSERT_TRUE(socket.SendMsg(&raw));
  ASSERT_EQ(socket.written.size(), 20004u);
  EXPECT_EQ(socket.written.substr(0, 12), U32(20004) + U32(77) + U32(9));
}

TEST_F(BaseSocketSendTest, OutputThatMustWaitKeepsTheOrderOfTheCalls) {
  CBlobMsg first = MessageOfSize(40000, 1);  // three frames
  CBlobMsg second = MessageOfSize(100, 2);
  CBlobMsg third = MessageOfSize(30, 3);
  third.SetRaw(true);
  const std::string expected = Framed(SerializeToString(first), 1) +
                               Framed(SerializeToString(second), 2) + SerializeToString(third);

  socket.writeBudget = 1000;  // the first frame goes out in part
  ASSERT_TRUE(socket.SendMsg(&first));
  ASSERT_TRUE(socket.SendMsg(&second));
  socket.writeBudget = 5000;  // room for part of what waits
  socket.Poll();
  ASSERT_TRUE(socket.SendMsg(&third));  // must queue behind the rest
  EXPECT_TRUE(socket.HasPendingOutput());
  EXPECT_EQ(socket.written.size(), 6000u);
  socket.writeBudget = 0xFFFFFFFFu;
  socket.Poll();
  EXPECT_FALSE(socket.HasPendingOutput());
  EXPECT_EQ(socket.written, expected);
}

TEST_F(BaseSocketSendTest, AWriteErrorAbandonsTheMessageAndTheNextPollReportsTheLoss) {
  CBlobMsg message = MessageOfSize(40000, 1);
  socket.writeError = wxSOCKET_IOERR;
  EXPECT_TRUE(socket.SendMsg(&message));  // only a failure to frame is false
  EXPECT_TRUE(socket.written.empty());
  EXPECT_FALSE(socket.HasPendingOutput());
  socket.Poll();
  EXPECT_EQ(sink.disconnects, std::vector<int>{wxSOCKET_IOERR});
  EXPECT_FALSE(socket.HasConnection());
}

TEST(BaseSocketConnectTest, RefusesAnEmptyHostAndPortsBelow1024) {
  CFakeSocket socket;
  EXPECT_FALSE(socket.Connect(wxString(), 7506));
  EXPECT_FALSE(socket.Connect(wxT("farm"), 80));
  EXPECT_FALSE(socket.Connect(wxT("farm"), 1023));
  EXPECT_FALSE(socket.IsInitialised());  // nothing was opened
  EXPECT_TRUE(socket.Connect(wxT("farm"), 1024));
}

TEST_F(BaseSocketReceiveTest, AFrameSplitAtAnyByteIsReassembledIdentically) {
  CBlobMsg message = MessageOfSize(16400, 3);  // two frames
  const std::string serialized = SerializeToString(message);
  const std::string wire = Framed(serialized, 3);
  for (size_t split = 0; split <= wire.size(); ++split) {
    Feed(wire.substr(0, split));
    Feed(wire.substr(split));
    ASSERT_EQ(sink.messages.size(), 1u) << "split at " << split;
    ASSERT_EQ(sink.messages[0], serialized) << "split at " << split;
    sink.messages.clear();
  }
  EXPECT_EQ(socket.GetIncompleteMessages(), 0u);
}

TEST_F(BaseSocketReceiveTest, APartWithTheWrongIndexIsDroppedAndTheQueueKeepsWaiting) {
  Feed(Frame(4, 0, 2, "first-"));
  Feed(Frame(4, 2, 2, "wrong"));
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_EQ(socket.GetIncompleteMessages(), 1u);
  Feed(Frame(4, 1, 2, "second"));
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0], "first-second");
}

TEST_F(BaseSocketReceiveTest, FramesOfInterleavedMessagesAreReassembledPerSerial) {
  Feed(Frame(1, 0, 2, "a1") + Frame(2, 0, 2, "b1") + Frame(2, 1, 2, "b2") + Frame(1, 1, 2, "a2"));
  EXPECT_EQ(sink.messages, (std::vector<std::string>{"b1b2", "a1a2"}));
}

TEST(BaseSocketLimitsTest, FramesBreakingTheLimitsAreTransferErrors) {
  const std::vector<std::string> bad = {
      U32(15) + std::string(11, 'x'),             // shorter than a header
      U32(0),                                     // no frame at all
      U32(16385) + std::string(100, 'x'),         // longer than any frame
      U32(0xFFFFFFFFu),                           // would need 4 GiB
      Frame(1, 0, 0, "no parts"),                 // a message of no parts
      Frame(1, 0, 0x7FFFFFFF, "parts of 32 TB"),  // far over 256 MiB as announced
  };
  for (const std::string& bytes : bad) {
    Wire w;
    w.Feed(bytes + Frame(2, 0, 1, "after"));
    EXPECT_EQ(w.sink.transferErrors, 1);
    EXPECT_TRUE(w.sink.messages.empty());  // nothing after it is read
    EXPECT_FALSE(w.socket.HasConnection());
    EXPECT_TRUE(w.socket.closed);
    EXPECT_EQ(w.socket.GetSocketError(), wxSOCKET_IOERR);
  }
}

TEST_F(BaseSocketReceiveTest, AtMost64MessagesAreInReassemblyAtOnce) {
  for (wxUint32 serial = 1; serial <= 64; ++serial) Feed(Frame(serial, 0, 2, "part"));
  EXPECT_EQ(sink.transferErrors, 0);
  EXPECT_EQ(socket.GetIncompleteMessages(), 64u);
  // A message whole in one frame waits in no queue: it still arrives, as
  // often as the server likes.
  for (wxUint32 serial = 100; serial < 300; ++serial) Feed(Frame(serial, 0, 1, "single"));
  EXPECT_EQ(sink.transferErrors, 0);
  EXPECT_EQ(sink.messages.size(), 200u);
  EXPECT_EQ(socket.GetIncompleteMessages(), 64u);
  // The last part of a held message completes it without a new queue.
  Feed(Frame(1, 1, 2, "-end"));
  ASSERT_EQ(sink.messages.size(), 201u);
  EXPECT_EQ(sink.messages.back(), "part-end");
  Feed(Frame(65, 0, 2, "fills the freed place"));
  EXPECT_EQ(sink.transferErrors, 0);
  Feed(Frame(66, 0, 2, "one too many"));
  EXPECT_EQ(sink.transferErrors, 1);
}

TEST(BaseSocketMsgReceiverTest, IncompleteMessagesTogetherHoldNoMoreThanTheBound) {
  // Scaled down: a bound of 100 bytes instead of 256 MiB.
  CBaseSocketMsgReceiver receiver(100);
  std::unique_ptr<CMemoryStream> whole;
  // Hands the receiver a frame, header decoded, as the socket does.
  const auto receive = [&](wxUint32 serial, wxUint32 index, wxUint32 count,
                           const std::string& payload) {
    CBaseSocketMsg frame;
    frame.Build(serial, index, count, reinterpret_cast<const wxUint8*>(payload.data()),
                static_cast<wxUint32>(payload.size()));
    frame.DecodeHeader();
    return receiver.Receive(frame, &whole);
  };
  using R = CBaseSocketMsgReceiver;
  const std::string forty(40, 'x');
  EXPECT_EQ(receive(1, 0, 3, forty), R::kKept);
  EXPECT_EQ(receive(2, 0, 3, forty), R::kKept);
  EXPECT_EQ(receiver.GetHeldBytes(), 80u);
  // A single-frame message is never held, whatever its size.
  EXPECT_EQ(receive(3, 0, 1, std::string(500, 'y')), R::kComplete);
  EXPECT_EQ(whole->Size(), 500u);
  // 120 bytes held would break the bound, in either message.
  EXPECT_EQ(receive(2, 1, 3, forty), R::kRejected);
  EXPECT_EQ(receive(4, 0, 2, forty), R::kRejected);
  // A completed message gives its bytes back.
  EXPECT_EQ(receive(1, 1, 3, "y"), R::kKept);
  EXPECT_EQ(receive(1, 2, 3, "z"), R::kComplete);
  EXPECT_EQ(whole->Size(), 42u);
  EXPECT_EQ(receiver.GetHeldBytes(), 40u);
  EXPECT_EQ(receive(5, 0, 2, forty), R::kKept);
}

TEST_F(BaseSocketReceiveTest, PollReadsWhatArrivedAndReportsAPeerThatClosed) {
  CBlobMsg message("x");
  message.SetSerial(1);
  socket.incoming.push_back(Framed(SerializeToString(message), 1));
  socket.peerClosesAfterIncoming = true;
  EXPECT_TRUE(socket.Poll());
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_TRUE(sink.disconnects.empty());
  socket.Poll();
  // An orderly end of the stream is a loss without an error.
  EXPECT_EQ(sink.disconnects, std::vector<int>{0});
  EXPECT_FALSE(socket.HasConnection());
  EXPECT_TRUE(socket.closed);
}

// A sink that removes itself and adds another while being notified.
struct SelfRemovingSink : CRecordingSink {
  CBaseSocket* socket = nullptr;
  CRecordingSink* other = nullptr;
  void OnMessage(CMemoryStream& stream, bool raw) override {
    CRecordingSink::OnMessage(stream, raw);
    socket->RemoveSink(this);
    socket->AddSink(other);
  }
};

TEST_F(BaseSocketReceiveTest, SinksAreNotifiedThroughACopyOfTheList) {
  SelfRemovingSink first;
  CRecordingSink added;
  first.socket = &socket;
  first.other = &added;
  socket.RemoveSink(&sink);
  socket.AddSink(&first);
  EXPECT_TRUE(socket.AddSink(&first));  // already there: only success
  Feed(Frame(1, 0, 1, "one") + Frame(2, 0, 1, "two"));
  EXPECT_EQ(first.messages, std::vector<std::string>{"one"});
  EXPECT_EQ(added.messages, std::vector<std::string>{"two"});
}

}  // namespace
