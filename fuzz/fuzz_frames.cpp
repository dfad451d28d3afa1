// Frames and reassembly: bytes as a server might send them, cut into reads of
// sizes the fuzzer picks. Input: one byte N, N read sizes, then the stream.
// The same stream read in one piece must give the same messages and the same
// verdict on the framing, and the socket must never hold more than its
// limits allow.
#include "FuzzSupport.h"

#include "net/BaseSocket.h"
#include "net/MsgBase.h"
#include "net/NetEngine.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// A connected socket without a network.
class CFuzzSocket : public CBaseSocket {
 protected:
  bool IoConnect(const wxString&, unsigned short, int* error) override {
    *error = 0;
    return true;
  }
  wxUint32 IoRead(void*, wxUint32, int* error, bool*) override {
    *error = 0;
    return 0;
  }
  wxUint32 IoWrite(const void*, wxUint32 size, int* error) override {
    *error = 0;
    return size;
  }
  void IoTest(bool* lost, bool* readable, bool* writable) override {
    *lost = *readable = false;
    *writable = true;
  }
  void IoWait(wxUint32, bool) override {}
  void IoClose() override {}
};

// Keeps what the socket hands out; each whole message is also decoded as
// the connection would decode it.
class CSink : public CSocketNotificationSink {
 public:
  explicit CSink(CNetEngine* engine) : m_engine(engine) {}

  std::vector<std::string> messages;
  int transferErrors = 0;

  void OnMessage(CMemoryStream& stream, bool) override {
    if (stream.Size() > CBaseSocketMsgReceiver::kMaxMessageSize)
      kffuzz::Fail("message over the limit");
    messages.emplace_back(reinterpret_cast<const char*>(stream.Data()), stream.Size());
    if (stream.Size() < 4) return;
    stream.Rewind();
    wxInt32 type = 0;
    stream.ReadInt32(type);
    std::unique_ptr<CMsgBase> message(m_engine->Create(type));
    if (message) message->Serialize(stream);
  }
  void OnTransferError() override { ++transferErrors; }

 private:
  CNetEngine* m_engine;
};

struct Outcome {
  std::vector<std::string> messages;
  int transferErrors = 0;
  size_t queues = 0;
};

Outcome Feed(const std::string& stream, const std::string& sizes, CNetEngine* engine) {
  CFuzzSocket socket;
  CSink sink(engine);
  socket.AddSink(&sink);
  if (!socket.Connect(wxT("127.0.0.1"), 7506)) kffuzz::Fail("fake connect failed");
  size_t at = 0;
  size_t next = 0;
  while (at < stream.size()) {
    size_t n = stream.size() - at;
    if (!sizes.empty()) {
      const uint8_t s = static_cast<uint8_t>(sizes[next++ % sizes.size()]);
      n = std::min(n, s == 255 ? size_t(CBaseSocket::kReadSize) : size_t(s) + 1);
    } else {
      n = std::min(n, size_t(CBaseSocket::kReadSize));
    }
    socket.ProcessReceived(reinterpret_cast<const wxUint8*>(stream.data()) + at, wxUint32(n));
    at += n;
    if (socket.GetIncompleteMessages() > CBaseSocketMsgReceiver::kMaxQueues)
      kffuzz::Fail("too many incomplete messages");
  }
  Outcome outcome;
  outcome.messages = std::move(sink.messages);
  outcome.transferErrors = sink.transferErrors;
  outcome.queues = socket.GetIncompleteMessages();
  socket.RemoveSink(&sink);
  return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kffuzz::Init();
  static CNetEngine engine;
  static const bool registered = engine.RegisterAll();
  (void)registered;

  kffuzz::Input input(data, size);
  const std::string sizes = input.Take(input.Byte() % 32);
  const std::string stream = input.Rest();

  const Outcome pieces = Feed(stream, sizes, &engine);
  const Outcome whole = Feed(stream, std::string(), &engine);
  if (pieces.messages != whole.messages) kffuzz::Fail("messages depend on how the bytes were read");
  if (pieces.transferErrors != whole.transferErrors)
    kffuzz::Fail("framing verdict depends on the reads");
  if (pieces.transferErrors > 1) kffuzz::Fail("more than one transfer error on one connection");
  if (pieces.queues != whole.queues) kffuzz::Fail("incomplete messages depend on the reads");
  return 0;
}
