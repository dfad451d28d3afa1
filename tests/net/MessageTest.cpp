#include "net/ChallengeMsg.h"
#include "net/CompressedMsgBase.h"
#include "net/DataQueryMsg.h"
#include "net/GenericMsg.h"
#include "net/MsgAckMsg.h"
#include "net/NetEngine.h"
#include "net/NetMsgMap.h"
#include "net/OppositeInfoMsg.h"
#include "net/RequestMsg.h"
#include "net/ServerControlMsg.h"
#include "net/UserData0Msg.h"
#include "net/UserData1Msg.h"
#include "net/WireReader.h"

#include "NetTestSupport.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

// A string as it goes on the wire: UTF-8 bytes and a closing zero.
std::string Str(const char* text) { return std::string(text) + '\0'; }

// A compressed message of `type` around `plain` as a peer sends it.
std::string Compressed(wxInt32 type, const std::string& plain) {
  uLongf packedLength = compressBound(plain.size());
  std::string packed(packedLength, '\0');
  compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedLength,
            reinterpret_cast<const Bytef*>(plain.data()), plain.size(), 9);
  packed.resize(packedLength);
  return U32(type) + U32(1) + U32(static_cast<wxUint32>(packed.size())) +
         U32(static_cast<wxUint32>(plain.size())) + packed;
}

// The layouts of the messages are compared whole end to end, where the farm
// simulator decodes them; here is what a peer can send that the simulator
// never does.

// A compressed message with one text and one number.
class CPairMsg : public CCompressedMsgBase {
 public:
  CPairMsg() { SetType(3); }
  bool WriteData(CMemoryStream& s) const override {
    return s.WriteString(text) && s.WriteUInt32(number);
  }
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

TEST(MessageTest, CompressedBodyOfNothingIsTheEightBytesOfAnEmptyZlibStream) {
  CCompressedMsgBase empty;
  const std::string bytes = SerializeToString(empty);
  EXPECT_EQ(bytes.substr(8), U32(8) + U32(0) + std::string("\x78\xda\x03\x00\x00\x00\x00\x01", 8));
}

TEST(MessageTest, AQueryAnswerKeepsItsUtf8AndReadsOtherBytesAsEveryTextIs) {
  // Printed as the bytes that came when they are UTF-8, else as Latin-1 like
  // every other text of the protocol: either way what the text reads as.
  const std::string answers[] = {
      "7|job\n8|other",  "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80", "Gr\xFC\xDF" "e",
      "\xED\xA0\x80",  "\xC0\xAF",  "\xF4\x90\x80\x80",  "cut \xE2\x82",  ""};
  for (const std::string& text : answers) {
    CDataQueryMsg in;
    ASSERT_TRUE(Deserialize(in, Compressed(24, text + std::string(1, '\0'))));
    const std::string widened(in.GetText().utf8_str());
    EXPECT_EQ(widened, std::string(TextFromWire(text.data(), text.size()).utf8_str()));
    EXPECT_EQ(in.GetUtf8Text(), widened);
    EXPECT_EQ(in.TakeUtf8Text(), widened);
    EXPECT_EQ(in.GetUtf8Text(), "");
  }
  // Written back, the bytes are the same.
  const std::string utf8 = "Gr\xC3\xBC\xC3\x9F" "e";
  CDataQueryMsg out;
  out.SetText(wxString::FromUTF8(utf8));
  out.SetSerial(1);
  EXPECT_EQ(SerializeToString(out), Compressed(24, utf8 + std::string(1, '\0')));
}

// Deflate data that does not inflate reads as zeros: the end-to-end tests show it.
TEST(MessageTest, ACompressedLengthBeyondTheMessageReadsAsZerosAndEmpties) {
  CPairMsg zeros;
  zeros.text = wxT("before");
  zeros.number = 99;
  EXPECT_TRUE(Deserialize(zeros, U32(3) + U32(1) + U32(1000) + U32(8)));
  EXPECT_TRUE(zeros.text.empty());
  EXPECT_EQ(zeros.number, 0u);
}

TEST(MessageTest, AnUncompressedLengthOver256MiBIsRefusedAsOverTheLimit) {
  const std::string bytes = U32(3) + U32(1) + U32(8) + U32(256u * 1024 * 1024 + 1) + "12345678";
  CPairMsg in;
  EXPECT_FALSE(Deserialize(in, bytes));
  EXPECT_TRUE(in.IsOverLimit());
}

TEST(MessageTest, ShortOrLyingBodiesKeepWhatTheyLack) {
  // User data that stops after the rights keeps the colour's default.
  CUserData0Msg cut;
  ASSERT_TRUE(Deserialize(cut, U32(8) + U32(1) + Str("a") + Str("b") + Str("") + U32(0x100)));
  EXPECT_EQ(cut.rights, 0x100u);
  EXPECT_EQ(cut.priorityLimit, 0);
  EXPECT_EQ(cut.jobColour, 0xFF000000u);

  // A control of kind and target only keeps code and argument.
  CServerControlMsg control;
  control.code = 9;
  control.argument = wxT("kept");
  ASSERT_TRUE(Deserialize(control, U32(15) + U32(1) + std::string("\x03\x00" "12\0", 5)));
  EXPECT_EQ(control.kind, CServerControlMsg::kNetJob);
  EXPECT_EQ(control.target, wxT("12"));
  EXPECT_EQ(control.code, 9);
  EXPECT_EQ(control.argument, wxT("kept"));

  // A count far beyond the bytes present reads what is there and stops.
  CRequestMsg request;
  ASSERT_TRUE(Deserialize(request, U32(1025) + U32(9) + U32(1) + U32(22) + U32(1) + Str("") +
                                       Str("q") + U32(0x7FFFFFFF) + U32(4)));
  EXPECT_EQ(request.integers, (std::vector<wxInt32>{4}));
  EXPECT_TRUE(request.strings.IsEmpty());

  // A million pools announced, one whole record and half of another sent.
  const std::string pools = Str("") + U32(1000000) + U32(1) + Str("12") + Str("Main") + Str("d") +
                            Str("o") + "\1" + U32(2) + U32(3) + Str("n") + Str("c") + U32(0) +
                            Str("") + U32(0) + Str("t") + U32(1) + Str("14");
  CUserData1Msg back;
  ASSERT_TRUE(Deserialize(back, Compressed(9, pools)));
  ASSERT_EQ(back.pools.GetCount(), 1u);
  EXPECT_EQ(back.pools[0], wxT("12|Main"));
}

TEST(MessageTest, ListsOfAMessageBeyondTheirMemoryBudgetAreOverTheLimit) {
  // A request whose string list is a million empty strings per 1 MiB: 16
  // MiB of zeros would make 16 million strings.
  const std::string head = U32(CRequestMsg::kType) + U32(1) + U32(0) + U32(22) + U32(1) +
                           std::string(2, '\0') + U32(0);
  CRequestMsg fits;
  ASSERT_TRUE(Deserialize(fits, head + U32(1000) + std::string(1000, '\0')));
  EXPECT_EQ(fits.strings.size(), 1000u);
  const size_t tooMany = CWireReader::kMaxListBytes / CWireReader::kStringCost + 1;
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
  EXPECT_FALSE(
      Deserialize(over, head + std::string(CMsgBase::kMaxTextBytes + 1, 'a') + '\0' + tail));
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

// The class of every known type is the core's test, with all of them registered.
TEST(RegistryTest, ChallengesAreRawAndUnknownTypesGetAGenericMessage) {
  CNetEngine engine;
  ASSERT_TRUE(engine.RegisterAll());
  EXPECT_TRUE(std::unique_ptr<CMsgBase>(engine.Create(CChallengeMsg::kType))->IsRaw());

  std::unique_ptr<CMsgBase> unknown(engine.Create(5));
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->GetClassInfo(), CLASSINFO(CGenericMsg));
  ASSERT_TRUE(Deserialize(*unknown, U32(5) + U32(8)));
  EXPECT_EQ(unknown->GetType(), 5);
  EXPECT_EQ(unknown->GetSerial(), 8u);
  EXPECT_EQ(engine.GetNextSerial(), 1u);  // Create does not number
}

std::vector<std::string>* g_calls = nullptr;
void First(CRemoteConnection*, CMsgBase* m) {
  g_calls->push_back("first " + std::to_string(m->GetType()));
}
void Second(CRemoteConnection*, CMsgBase* m) {
  g_calls->push_back("second " + std::to_string(m->GetType()));
}

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
