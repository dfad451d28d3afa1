// Message decoding: a body of the fuzzer's bytes read by the class of every
// message type the program knows, in the envelope the connection reads.
// Input: a byte choosing the type, a byte of flags (1: the length-prefixed
// raw envelope; 2: for a compressed type, the rest is the uncompressed data
// and is packed here, so that the fields behind the zlib stream are reached),
// then the body. A message that reads must write bytes that read back into
// the same bytes; acknowledgements decode their attached message and data
// messages are applied to a renderer pool.
#include "FuzzSupport.h"

#include "net/CompressedMsgBase.h"
#include "net/MsgAckMsg.h"
#include "net/NetEngine.h"
#include "net/Zlib.h"
#include "netjob/NetJobPacketMsg.h"
#include "rs/RSDataManager.h"
#include "rs/RSDataMsg.h"
#include "rs/RSPool.h"

#include <memory>
#include <string>

namespace {

// Every type the program registers, and one it does not know (read as a
// generic message).
const wxInt32 kTypes[] = {
    kGenericMsgType, kChallengeMsgType, kOppositeInfoMsgType, kTextMsgType, kLoginMsgType,
    kUserData0MsgType, kUserData1MsgType, kNetJobPacketMsgType, kServerControlMsgType,
    kRSDataMsgType, kDataQueryMsgType, kMsgAckMsgType, kRequestMsgType, 4711,
};
constexpr size_t kTypeCount = sizeof kTypes / sizeof kTypes[0];
constexpr wxUint32 kMaxUnpackedForFuzzing = 4u * 1024 * 1024;

// The engine registers as the program does, the classes of the layers above
// net handed in first.
CNetEngine& Engine() {
  static CNetEngine* engine = [] {
    CNetEngine::AddMessageClass(CNetJobPacketMsg::kType, CLASSINFO(CNetJobPacketMsg));
    CNetEngine::AddMessageClass(CRSDataMsg::kType, CLASSINFO(CRSDataMsg));
    auto* e = new CNetEngine();
    e->RegisterAll();
    return e;
  }();
  return *engine;
}

void PutU32(std::string* out, wxUint32 value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(value >> (8 * i)));
}

std::string Written(CMsgBase& message) {
  CMemoryStream stream(CMemoryStream::kWrite);
  if (!message.Serialize(stream)) return std::string();
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.Size());
}

// Reads `bytes` into a new message of `type`; null when it does not read.
std::unique_ptr<CMsgBase> Read(wxInt32 type, bool raw, const std::string& bytes, bool* overLimit) {
  std::unique_ptr<CMsgBase> message(Engine().Create(type));
  if (!message) kffuzz::Fail("no message for a type");
  message->SetRaw(raw);
  CMemoryStream stream(CMemoryStream::kRead, 1);
  stream.Write(bytes.data(), wxUint32(bytes.size()));
  const bool ok = message->Serialize(stream);
  if (overLimit) *overLimit = message->IsOverLimit();
  if (!ok) return nullptr;
  return message;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kffuzz::Init();
  kffuzz::Input input(data, size);
  const wxInt32 type = kTypes[input.Byte() % kTypeCount];
  const uint8_t flags = input.Byte();
  const bool raw = (flags & 1) != 0;
  std::string body = input.Rest();

  const std::unique_ptr<CMsgBase> probe(Engine().Create(type));
  const bool compressed = dynamic_cast<CCompressedMsgBase*>(probe.get()) != nullptr;
  // A body may announce up to 256 MiB unpacked; that much is valid and only
  // costs time (the limit itself has unit tests), so big ones are left out.
  if (compressed && !(flags & 2) && body.size() >= 8) {
    const auto* b = reinterpret_cast<const uint8_t*>(body.data());
    const wxUint32 announced = b[4] | b[5] << 8 | b[6] << 16 | wxUint32(b[7]) << 24;
    if (announced > kMaxUnpackedForFuzzing) return 0;
  }
  if (compressed && (flags & 2)) {
    CCompressedBuffer packed;
    if (!CZlib().Compress(reinterpret_cast<const wxUint8*>(body.data()), wxUint32(body.size()),
                          packed))
      return 0;
    std::string framed;
    PutU32(&framed, packed.compressedLength);
    PutU32(&framed, packed.uncompressedLength);
    framed.append(reinterpret_cast<const char*>(packed.bytes.get()), packed.compressedLength);
    body = framed;
  }

  std::string envelope;
  if (raw) PutU32(&envelope, wxUint32(body.size() + 12));
  PutU32(&envelope, wxUint32(type));
  PutU32(&envelope, 7);
  envelope += body;

  bool overLimit = false;
  std::unique_ptr<CMsgBase> message = Read(type, raw, envelope, &overLimit);
  if (!message) return 0;
  if (overLimit) kffuzz::Fail("a message over the limit read successfully");

  // What the program writes it must read back, into the same bytes.
  const std::string first = Written(*message);
  if (first.empty()) kffuzz::Fail("a message that was read cannot be written");
  std::unique_ptr<CMsgBase> again = Read(type, raw, first, nullptr);
  if (!again) kffuzz::Fail("a written message does not read back");
  if (Written(*again) != first) kffuzz::Fail("a message does not survive writing and reading");

  if (auto* ack = dynamic_cast<CMsgAckMsg*>(message.get())) {
    std::unique_ptr<CMsgBase> attached(Engine().DecodeAttached(*ack));
    if (attached) Written(*attached);
  }
  if (auto* records = dynamic_cast<CRSDataMsg*>(message.get())) {
    CRSPool pool;
    pool.Init(wxT("/nonexistent/kf-fuzz-pool"));
    CRSDataManager manager;
    manager.Init(&pool);
    manager.ApplyMessage(*records, true);
  }
  return 0;
}
