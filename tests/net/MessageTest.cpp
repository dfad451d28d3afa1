#include "net/ChallengeMsg.h"
#include "net/CompressedMsgBase.h"
#include "net/DataQueryMsg.h"
#include "net/GenericMsg.h"
#include "net/MsgAckMsg.h"
#include "net/NetEngine.h"
#include "net/NetMsgMap.h"
#include "net/OppositeInfoMsg.h"
#include "net/RequestMsg.h"

#include "NetTestSupport.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

// A compressed message with one text and one number.
class CPairMsg : public CCompressedMsgBase {
 public:
  CPairMsg() { SetType(3); }
  bool WriteData(CMemoryStream& s) override { return s.WriteString(text) && s.WriteUInt32(number); }
  bool ReadData(CMemoryStream& s) override {
    s.ReadString(text);
    s.ReadUInt32(number);
    return true;
  }
  wxString text;
  wxUint32 number = 0;
  wxDECLARE_DYNAMIC_CLASS(CPairMsg);
};
wxIMPLEMENT_DYNAMIC_CLASS(CPairMsg, CCompressedMsgBase);

TEST(MessageTest, EnvelopeIsTypeSerialBodyAndRawAddsTheTotalLength) {
  CGenericMsg generic;
  generic.SetSerial(0x0A0B0C0D);
  EXPECT_EQ(SerializeToString(generic), U32(0) + U32(0x0A0B0C0D));

  CBlobMsg raw("body");
  raw.SetRaw(true);
  raw.SetSerial(2);
  EXPECT_EQ(SerializeToString(raw), U32(16) + U32(77) + U32(2) + "body");
}

TEST(MessageTest, CompressedBodyOfNothingIsTheEightBytesOfAnEmptyZlibStream) {
  CCompressedMsgBase empty;
  const std::string bytes = SerializeToString(empty);
  EXPECT_EQ(bytes.substr(8), U32(8) + U32(0) + std::string("\x78\xda\x03\x00\x00\x00\x00\x01", 8));
}

TEST(MessageTest, CompressedBodiesRoundTripAndCanBeInflatedByZlib) {
  CPairMsg out;
  out.text = wxString::FromUTF8("R\xC3\xA9sum\xC3\xA9 ") + wxString(wxT('x'), 5000);
  out.number = 12345;
  const std::string bytes = SerializeToString(out);
  const wxUint32 cl = ReadU32(bytes, 8);
  const wxUint32 ul = ReadU32(bytes, 12);
  EXPECT_EQ(bytes.size(), 16u + cl);
  EXPECT_LT(cl, 200u);
  std::string plain(ul, '\0');
  uLongf plainLength = ul;
  ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(&plain[0]), &plainLength,
                       reinterpret_cast<const Bytef*>(bytes.data() + 16), cl),
            Z_OK);
  EXPECT_EQ(plainLength, ul);

  CPairMsg in;
  ASSERT_TRUE(Deserialize(in, bytes));
  EXPECT_EQ(in.text, out.text);
  EXPECT_EQ(in.number, 12345u);
  EXPECT_TRUE(in.WasInflatedCleanly());
}

// A data query answer on the wire: its text bytes compressed, with their zero.
std::string QueryAnswerWire(const std::string& text) {
  const std::string plain = text + std::string(1, '\0');
  uLongf packedLength = compressBound(plain.size());
  std::string packed(packedLength, '\0');
  compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedLength,
            reinterpret_cast<const Bytef*>(plain.data()), plain.size(), 9);
  packed.resize(packedLength);
  return U32(24) + U32(1) + U32(static_cast<wxUint32>(packed.size())) +
         U32(static_cast<wxUint32>(plain.size())) + packed;
}

TEST(MessageTest, AQueryAnswerKeepsItsUtf8AndReadsOtherBytesAsEveryTextIs) {
  // Printed as the bytes that came when they are UTF-8, else as Latin-1 like
  // every other text of the protocol: either way what the text reads as.
  const std::string answers[] = {
      "7|job\n8|other",  "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80", "Gr\xFC\xDF" "e",
      "\xED\xA0\x80",  "\xC0\xAF",  "\xF4\x90\x80\x80",  "cut \xE2\x82",  ""};
  for (const std::string& text : answers) {
    CDataQueryMsg in;
    ASSERT_TRUE(Deserialize(in, QueryAnswerWire(text)));
    const std::string widened(in.GetText().utf8_str());
    EXPECT_EQ(widened, std::string(TextFromWire(text.data(), text.size()).utf8_str()));
    EXPECT_EQ(in.GetUtf8Text(), widened);
    EXPECT_EQ(in.TakeUtf8Text(), widened);
    EXPECT_EQ(in.GetUtf8Text(), "");
  }
  // Written back, the bytes are the same.
  CDataQueryMsg out;
  out.SetText(wxString::FromUTF8("Gr\xC3\xBC\xC3\x9F" "e"));
  out.SetSerial(1);
  EXPECT_EQ(SerializeToString(out), QueryAnswerWire("Gr\xC3\xBC\xC3\x9F" "e"));
}

TEST(MessageTest, BrokenCompressedDataLeavesZerosWhereItFallsShort) {
  CPairMsg out;
  out.text = wxT("abc");
  out.number = 7;
  std::string bytes = SerializeToString(out);
  bytes[16 + 3] ^= 0x55;  // damage the deflate data
  CPairMsg in;
  EXPECT_TRUE(Deserialize(in, bytes));
  EXPECT_FALSE(in.WasInflatedCleanly());

  // A compressed length beyond the message reads as no data: zeros and empties.
  CPairMsg zeros;
  zeros.text = wxT("before");
  zeros.number = 99;
  EXPECT_TRUE(Deserialize(zeros, bytes.substr(0, 8) + U32(1000) + U32(8)));
  EXPECT_TRUE(zeros.text.empty());
  EXPECT_EQ(zeros.number, 0u);
}

TEST(MessageTest, AnUncompressedLengthOver256MiBIsRefusedAsOverTheLimit) {
  const std::string bytes = U32(3) + U32(1) + U32(8) + U32(256u * 1024 * 1024 + 1) + "12345678";
  CPairMsg in;
  EXPECT_FALSE(Deserialize(in, bytes));
  EXPECT_TRUE(in.IsOverLimit());
}

TEST(MessageTest, ListsOfAMessageBeyondTheirMemoryBudgetAreOverTheLimit) {
  // A request whose string list is a million empty strings per 1 MiB: 16
  // MiB of zeros would make 16 million strings.
  const std::string head = U32(CRequestMsg::kType) + U32(1) + U32(0) + U32(22) + U32(1) +
                           std::string(2, '\0') + U32(0);
  CRequestMsg fits;
  ASSERT_TRUE(Deserialize(fits, head + U32(1000) + std::string(1000, '\0')));
  EXPECT_EQ(fits.strings.size(), 1000u);
  const size_t tooMany = CRequestMsg::kMaxListBytes / CRequestMsg::kStringCost + 1;
  CRequestMsg over;
  EXPECT_FALSE(Deserialize(over, head + U32(0xFFFFFFFFu) + std::string(tooMany, '\0')));
  EXPECT_TRUE(over.IsOverLimit());
  EXPECT_EQ(over.strings.size(), 0u);
}

TEST(MessageTest, ATextOfThePeerLongerThanTheBoundIsOverTheLimit) {
  // Peer information is not compressed: its texts come as they are.
  const std::string tail = std::string(2, '\0') + std::string(2 + 4 + 4 + 8, '\0');
  const std::string head = U32(COppositeInfoMsg().GetType()) + U32(1);
  COppositeInfoMsg fits;
  ASSERT_TRUE(Deserialize(fits, head + std::string(CMsgBase::kMaxTextBytes, 'a') + '\0' + tail));
  EXPECT_EQ(fits.alias.length(), CMsgBase::kMaxTextBytes);
  COppositeInfoMsg over;
  EXPECT_FALSE(Deserialize(over, head + std::string(CMsgBase::kMaxTextBytes + 1, 'a') + '\0' + tail));
  EXPECT_TRUE(over.IsOverLimit());
  EXPECT_TRUE(over.alias.empty());
}

TEST(MessageTest, AcknowledgementOfAChallengeHasNoValue3AndTextsAreCutTo256) {
  CMsgAckMsg ack;
  ack.SetAcked(1, 7);
  ack.SetResult(true);
  ack.SetValues(1, 2, 3);
  ack.SetData(reinterpret_cast<const wxUint8*>("info"), 4, false);
  EXPECT_EQ(SerializeToString(ack).substr(8),
            U32(1) + U32(7) + std::string("\x01\0", 2) + U32(1) + U32(2) + std::string(1, '\0') +
                U32(4) + "info");

  CMsgAckMsg other;
  other.SetAcked(14, 9);
  other.SetText(wxString(wxT('y'), 300));
  other.SetValues(1, 2, 3);
  CMsgAckMsg back;
  ASSERT_TRUE(Deserialize(back, SerializeToString(other)));
  EXPECT_EQ(back.GetText(), wxString(wxT('y'), 256));
  EXPECT_EQ(back.GetValue3(), 3u);
  EXPECT_EQ(back.GetAckedType(), 14);
  EXPECT_EQ(back.GetAckedSerial(), 9u);
}

TEST(MessageTest, AcknowledgementDataBeyondTheMessageAllocatesNothing) {
  const std::string bytes = U32(1024) + U32(1) + U32(14) + U32(2) + std::string("\x01\0", 2) +
                            U32(5) + U32(0) + U32(0) + std::string("\x01", 1) + U32(0xFFFFFFF0u) +
                            "abc";
  CMsgAckMsg ack;
  EXPECT_TRUE(Deserialize(ack, bytes));
  EXPECT_EQ(ack.GetValue1(), 5u);
  EXPECT_EQ(ack.GetData().Size(), 0u);
  EXPECT_LT(ack.GetData().Capacity(), 8192u);
}

TEST(RegistryTest, KnownTypesGetTheirClassesAndOthersAGenericMessage) {
  CNetEngine engine;
  ASSERT_TRUE(engine.RegisterAll());
  std::unique_ptr<CMsgBase> ack(engine.Create(1024));
  EXPECT_TRUE(wxDynamicCast(ack.get(), CMsgAckMsg));
  std::unique_ptr<CMsgBase> challenge(engine.Create(1));
  EXPECT_TRUE(wxDynamicCast(challenge.get(), CChallengeMsg));
  EXPECT_TRUE(challenge->IsRaw());

  std::unique_ptr<CMsgBase> unknown(engine.Create(5));
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->GetClassInfo(), CLASSINFO(CGenericMsg));
  ASSERT_TRUE(Deserialize(*unknown, U32(5) + U32(8)));
  EXPECT_EQ(unknown->GetType(), 5);
  EXPECT_EQ(unknown->GetSerial(), 8u);
  EXPECT_EQ(engine.GetNextSerial(), 1u);  // Create does not number
}

TEST(RegistryTest, AMessageMadeElsewhereTakesTheNextSerial) {
  CNetEngine engine;
  engine.RegisterAll();
  std::unique_ptr<CMsgBase> first(engine.CreateForSend(2));
  CGenericMsg made;
  engine.AssignSerial(&made);
  std::unique_ptr<CMsgBase> next(engine.CreateForSend(2));
  EXPECT_EQ(first->GetSerial(), 1u);
  EXPECT_EQ(made.GetSerial(), 2u);
  EXPECT_EQ(next->GetSerial(), 3u);
}

std::vector<std::string>* g_calls = nullptr;
void First(CRemoteConnection*, CMsgBase* m) { g_calls->push_back("first " + std::to_string(m->GetType())); }
void Second(CRemoteConnection*, CMsgBase* m) { g_calls->push_back("second " + std::to_string(m->GetType())); }

TEST(NetMsgMapTest, EveryHandlerOfATypeIsCalledInRegistrationOrder) {
  std::vector<std::string> calls;
  g_calls = &calls;
  CNetMsgMap map;
  map.Register(8, &First);
  map.Register(8, &Second);
  CGenericMsg message;
  message.SetType(8);
  EXPECT_TRUE(map.Dispatch(8, &message));
  EXPECT_EQ(calls, (std::vector<std::string>{"first 8", "second 8"}));
  EXPECT_FALSE(map.Dispatch(9, &message));
  g_calls = nullptr;
}

}  // namespace
