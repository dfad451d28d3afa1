// The log-on messages on the wire: login, both user-data parts, request, text
// and query answer, byte for byte where the layout matters and tolerant of
// short or lying input from a peer.
#include <gtest/gtest.h>

#include <zlib.h>

#include "NetTestSupport.h"
#include "net/LoginMsg.h"
#include "net/RequestMsg.h"
#include "net/TextMsg.h"
#include "net/UserData.h"
#include "net/UserData0Msg.h"
#include "net/UserData1Msg.h"

namespace {

// A string as it goes on the wire: UTF-8 bytes and a closing zero.
std::string Str(const char* text) { return std::string(text) + '\0'; }
const std::string kFalse(1, '\0');
const std::string kTrue(1, '\1');

TEST(LoginMsgTest, LoginLayoutCarriesUserAndPasswordAsGiven) {
  CLoginMsg login;
  login.SetSerial(3);
  login.userName = wxString::FromUTF8("Jürgen");
  login.password = wxT("p w");
  const std::string expected = U32(7) + U32(3) + kTrue + Str("J\xc3\xbcrgen") + Str("p w");
  EXPECT_EQ(SerializeToString(login), expected);

  CLoginMsg back;
  ASSERT_TRUE(Deserialize(back, expected));
  EXPECT_TRUE(back.login);
  EXPECT_EQ(back.userName, login.userName);
  EXPECT_EQ(back.password, wxT("p w"));
}

TEST(LoginMsgTest, UserData0RoundTripAndShortBodyKeepsDefaults) {
  CUserData0Msg msg;
  msg.text1 = wxT("anna");
  msg.text2 = wxT("Anna L");
  msg.flag = true;
  msg.rights = 0x40100;
  msg.priorityLimit = 100;
  msg.jobColour = 0xFF00AA00;
  CUserData0Msg back;
  ASSERT_TRUE(Deserialize(back, SerializeToString(msg)));
  CUserData data;
  back.ApplyTo(data);
  EXPECT_EQ(data.GetText2(), wxT("Anna L"));
  EXPECT_TRUE(data.GetFlag());
  EXPECT_TRUE(data.GetRights().Has(0x40100));
  EXPECT_EQ(data.GetPriorityLimit(), 100);
  EXPECT_EQ(data.GetJobColour(), 0xFF00AA00u);

  // A body that stops after the rights leaves the colour at its default.
  CUserData0Msg cut;
  ASSERT_TRUE(Deserialize(cut, U32(8) + U32(1) + Str("a") + Str("b") + kFalse + U32(0x100)));
  EXPECT_EQ(cut.rights, 0x100u);
  EXPECT_EQ(cut.priorityLimit, 0);
  EXPECT_EQ(cut.jobColour, 0xFF000000u);
}

TEST(LoginMsgTest, UserData1WithALyingCountKeepsTheWholeRecordsOnly) {
  // Announces a million pools, carries one whole record and half of another.
  const std::string whole = kFalse + U32(1000000) + U32(1) + Str("12") + Str("Main") + Str("d") +
                            Str("o") + kTrue + U32(2) + U32(3) + Str("n") + Str("c") + U32(0) +
                            kFalse + U32(0) + Str("t") + U32(1) + Str("14");
  uLongf packedSize = compressBound(whole.size());
  std::string packed(packedSize, '\0');
  ASSERT_EQ(compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize,
                      reinterpret_cast<const Bytef*>(whole.data()), whole.size(), 9),
            Z_OK);
  CUserData1Msg back;
  ASSERT_TRUE(Deserialize(back, U32(9) + U32(1) + U32(static_cast<wxUint32>(packedSize)) +
                                    U32(static_cast<wxUint32>(whole.size())) +
                                    packed.substr(0, packedSize)));
  ASSERT_EQ(back.pools.GetCount(), 1u);
  EXPECT_EQ(back.pools[0], wxT("12|Main"));
}

TEST(LoginMsgTest, RequestLayoutAndLists) {
  CRequestMsg request;
  request.SetSerial(9);
  request.mode = CRequestMsg::kAnswerWithAck;
  request.requestedType = 22;
  request.parameter = 1;
  request.text2 = wxT("q");
  const std::string head = U32(1025) + U32(9) + U32(1) + U32(22) + U32(1) + Str("") + Str("q");
  EXPECT_EQ(SerializeToString(request), head + U32(0) + U32(0));

  request.integers = {5, -1};
  request.strings.Add(wxT("x"));
  CRequestMsg back;
  ASSERT_TRUE(Deserialize(back, SerializeToString(request)));
  EXPECT_EQ(back.requestedType, 22);
  EXPECT_EQ(back.integers, (std::vector<wxInt32>{5, -1}));
  ASSERT_EQ(back.strings.GetCount(), 1u);
  EXPECT_EQ(back.strings[0], wxT("x"));

  // A count far beyond the bytes present reads what is there and stops.
  CRequestMsg partial;
  ASSERT_TRUE(Deserialize(partial, head + U32(0x7FFFFFFF) + U32(4)));
  EXPECT_EQ(partial.integers, (std::vector<wxInt32>{4}));
  EXPECT_TRUE(partial.strings.IsEmpty());
}

TEST(LoginMsgTest, TextIsACompressedBody) {
  CTextMsg text;
  text.text1 = wxT("Welcome");
  text.text2 = wxT("to the farm");
  const std::string bytes = SerializeToString(text);
  // type, serial, compressed length, uncompressed length, zlib stream
  ASSERT_GT(bytes.size(), 16u);
  EXPECT_EQ(bytes[16], '\x78');
  CTextMsg back;
  ASSERT_TRUE(Deserialize(back, bytes));
  EXPECT_EQ(back.text1, wxT("Welcome"));
  EXPECT_EQ(back.text2, wxT("to the farm"));
}

}  // namespace
