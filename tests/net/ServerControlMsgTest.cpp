#include "net/ServerControlMsg.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string BodyBytes(CServerControlMsg& message) {
  CMemoryStream stream(CMemoryStream::kWrite);
  EXPECT_TRUE(message.WriteBody(stream));
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.Size());
}

TEST(ServerControlMsgTest, BodyIsKindTargetCodeNumberArgument) {
  CServerControlMsg message;
  EXPECT_EQ(message.GetType(), 15);
  message.kind = CServerControlMsg::kChunk;
  message.target = wxT("42");
  message.code = 401;
  message.number = 0x01020304;
  message.argument = wxT("7|");
  const std::string expected("\x05\x00" "42\0" "\x91\x01" "\x04\x03\x02\x01" "7|\0", 14);
  EXPECT_EQ(BodyBytes(message), expected);
}

TEST(ServerControlMsgTest, ShortBodyKeepsTheFieldsItLacks) {
  // Kind and target only: code, number and argument stay as they were.
  const std::string bytes("\x03\x00" "12\0", 5);
  CMemoryStream stream(CMemoryStream::kReadWrite);
  ASSERT_TRUE(stream.Write(bytes.data(), static_cast<wxUint32>(bytes.size())));
  stream.Rewind();
  CServerControlMsg read;
  read.code = 9;
  read.argument = wxT("kept");
  EXPECT_TRUE(read.ReadBody(stream));
  EXPECT_EQ(read.kind, CServerControlMsg::kNetJob);
  EXPECT_EQ(read.target, wxT("12"));
  EXPECT_EQ(read.code, 9);
  EXPECT_EQ(read.argument, wxT("kept"));
}

}  // namespace
