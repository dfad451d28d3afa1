// The log-on messages on the wire: login, both user-data parts, request, text
// and query answer, byte for byte where the layout matters and tolerant of
// short or lying input from a peer.
#include <gtest/gtest.h>

#include <zlib.h>

#include <memory>

#include "net/LoginMsg.h"
#include "net/MemoryStream.h"
#include "net/RequestMsg.h"
#include "net/TextMsg.h"
#include "net/UserData.h"
#include "net/UserData0Msg.h"
#include "net/UserData1Msg.h"

namespace {

std::vector<wxUint8> Bytes(CMsgBase& msg) {
  CMemoryStream stream(CMemoryStream::kWrite);
  EXPECT_TRUE(msg.Serialize(stream));
  return std::vector<wxUint8>(stream.Data(), stream.Data() + stream.Size());
}

template <typename T>
std::unique_ptr<T> ReadBack(const std::vector<wxUint8>& bytes) {
  CMemoryStream stream(CMemoryStream::kRead);
  stream.Write(bytes.data(), static_cast<wxUint32>(bytes.size()));
  auto msg = std::make_unique<T>();
  EXPECT_TRUE(msg->Serialize(stream));
  return msg;
}

void PutU32(std::vector<wxUint8>& b, wxUint32 v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<wxUint8>(v >> (8 * i)));
}
void PutStr(std::vector<wxUint8>& b, const char* s) {
  while (*s) b.push_back(static_cast<wxUint8>(*s++));
  b.push_back(0);
}

TEST(LoginMsgTest, LoginLayoutCarriesUserAndPasswordAsGiven) {
  CLoginMsg login;
  login.SetSerial(3);
  login.userName = wxString::FromUTF8("Jürgen");
  login.password = wxT("p w");
  std::vector<wxUint8> expected;
  PutU32(expected, 7);
  PutU32(expected, 3);
  expected.push_back(1);
  PutStr(expected, "J\xc3\xbcrgen");
  PutStr(expected, "p w");
  EXPECT_EQ(Bytes(login), expected);

  auto back = ReadBack<CLoginMsg>(expected);
  EXPECT_TRUE(back->login);
  EXPECT_EQ(back->userName, login.userName);
  EXPECT_EQ(back->password, wxT("p w"));
}

TEST(LoginMsgTest, UserData0RoundTripAndShortBodyKeepsDefaults) {
  CUserData0Msg msg;
  msg.text1 = wxT("anna");
  msg.text2 = wxT("Anna L");
  msg.flag = true;
  msg.rights = 0x40100;
  msg.priorityLimit = 100;
  msg.jobColour = 0xFF00AA00;
  auto back = ReadBack<CUserData0Msg>(Bytes(msg));
  CUserData data;
  back->ApplyTo(data);
  EXPECT_EQ(data.GetText2(), wxT("Anna L"));
  EXPECT_TRUE(data.GetFlag());
  EXPECT_TRUE(data.GetRights().Has(0x40100));
  EXPECT_EQ(data.GetPriorityLimit(), 100);
  EXPECT_EQ(data.GetJobColour(), 0xFF00AA00u);

  // A body that stops after the rights leaves the colour at its default.
  std::vector<wxUint8> shortBody;
  PutU32(shortBody, 8);
  PutU32(shortBody, 1);
  PutStr(shortBody, "a");
  PutStr(shortBody, "b");
  shortBody.push_back(0);
  PutU32(shortBody, 0x100);
  auto cut = ReadBack<CUserData0Msg>(shortBody);
  EXPECT_EQ(cut->rights, 0x100u);
  EXPECT_EQ(cut->priorityLimit, 0);
  EXPECT_EQ(cut->jobColour, 0xFF000000u);
}

TEST(LoginMsgTest, UserData1WithALyingCountKeepsTheWholeRecordsOnly) {
  // Announces a million pools, carries one whole record and half of another.
  std::vector<wxUint8> whole;
  whole.push_back(0);
  PutU32(whole, 1000000);
  PutU32(whole, 1);
  PutStr(whole, "12");
  PutStr(whole, "Main");
  PutStr(whole, "d");
  PutStr(whole, "o");
  whole.push_back(1);
  PutU32(whole, 2);
  PutU32(whole, 3);
  PutStr(whole, "n");
  PutStr(whole, "c");
  PutU32(whole, 0);
  whole.push_back(0);
  PutU32(whole, 0);
  PutStr(whole, "t");
  PutU32(whole, 1);  // second record: stops after its first field
  PutStr(whole, "14");

  uLongf packedSize = compressBound(whole.size());
  std::vector<wxUint8> packed(packedSize);
  ASSERT_EQ(compress2(packed.data(), &packedSize, whole.data(), whole.size(), 9), Z_OK);
  std::vector<wxUint8> msg;
  PutU32(msg, 9);
  PutU32(msg, 1);
  PutU32(msg, static_cast<wxUint32>(packedSize));
  PutU32(msg, static_cast<wxUint32>(whole.size()));
  msg.insert(msg.end(), packed.begin(), packed.begin() + packedSize);
  auto back = ReadBack<CUserData1Msg>(msg);
  ASSERT_EQ(back->pools.GetCount(), 1u);
  EXPECT_EQ(back->pools[0], wxT("12|Main"));
}

TEST(LoginMsgTest, RequestLayoutAndLists) {
  CRequestMsg request;
  request.SetSerial(9);
  request.mode = CRequestMsg::kAnswerWithAck;
  request.requestedType = 22;
  request.parameter = 1;
  request.text2 = wxT("q");
  std::vector<wxUint8> expected;
  PutU32(expected, 1025);
  PutU32(expected, 9);
  PutU32(expected, 1);
  PutU32(expected, 22);
  PutU32(expected, 1);
  PutStr(expected, "");
  PutStr(expected, "q");
  PutU32(expected, 0);
  PutU32(expected, 0);
  EXPECT_EQ(Bytes(request), expected);

  request.integers = {5, -1};
  request.strings.Add(wxT("x"));
  auto back = ReadBack<CRequestMsg>(Bytes(request));
  EXPECT_EQ(back->requestedType, 22);
  EXPECT_EQ(back->integers, (std::vector<wxInt32>{5, -1}));
  ASSERT_EQ(back->strings.GetCount(), 1u);
  EXPECT_EQ(back->strings[0], wxT("x"));

  // A count far beyond the bytes present reads what is there and stops.
  std::vector<wxUint8> lying(expected.begin(), expected.end() - 8);
  PutU32(lying, 0x7FFFFFFF);
  PutU32(lying, 4);
  auto partial = ReadBack<CRequestMsg>(lying);
  EXPECT_EQ(partial->integers, (std::vector<wxInt32>{4}));
  EXPECT_TRUE(partial->strings.IsEmpty());
}

TEST(LoginMsgTest, TextIsACompressedBody) {
  CTextMsg text;
  text.text1 = wxT("Welcome");
  text.text2 = wxT("to the farm");
  const std::vector<wxUint8> bytes = Bytes(text);
  // type, serial, compressed length, uncompressed length, zlib stream
  ASSERT_GT(bytes.size(), 16u);
  EXPECT_EQ(bytes[16], 0x78);
  auto back = ReadBack<CTextMsg>(bytes);
  EXPECT_EQ(back->text1, wxT("Welcome"));
  EXPECT_EQ(back->text2, wxT("to the farm"));
}

}  // namespace
