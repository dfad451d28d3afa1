// The order and the values of every item are compared whole end to end, where
// the farm simulator decodes the packet the server receives; here are the
// items that test cannot see, found as runs of bytes in the body.
#include "netjob/NetJobPacketMsg.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Body(const CNetJobPacketMsg& packet) {
  CMemoryStream out(CMemoryStream::kWrite);
  EXPECT_TRUE(packet.WriteData(out));
  return std::string(reinterpret_cast<const char*>(out.Data()), out.Size());
}

std::string U32(wxUint32 v) {
  return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}
std::string Str(const char* text, size_t length) { return std::string(text, length) + '\0'; }

TEST(NetJobPacketMsgTest, TheBodyCarriesItsOwnCopyAndItsEdgeCases) {
  CJsNetJobBase job;
  job.Reset(-1);
  job.SetName(wxT("Job"));
  job.SetSliceMode(1, 4444, 2222, 3, wxT("fmt"));
  job.AddPool(wxT("Farm A|12"));
  job.AddPool(wxT("|orphan"));
  job.AddPool(wxT("7"));
  job.GetEmailUsers().Add(wxT("anna"));
  job.GetSchedule() = {true, 0.0, wxT("noon")};
  // Texts go whole, as the packet has always sent them: an embedded NUL is
  // not cut off there (other messages end a text at its first NUL).
  job.SetProject(wxString(wxT("a")) + wxT('\0') + wxT("b"));
  CNetJobPacketMsg packet;
  ASSERT_TRUE(packet.MarshalFrom(job));
  job.SetName(wxT("changed later"));
  const std::string body = Body(packet);

  const std::string runs[] = {
      U32(0) + U32(0xFFFFFFFFu) + Str("", 0) + Str("Job", 3),  // lead, id -1, lead text, name
      Str("", 0) + "\1\1",                   // no renderer: an empty text, then 32 and 64 bit
      U32(2222) + U32(4444) + U32(3),        // Y before X
      "\1" + std::string(8, '\0') + Str("noon", 4),  // scheduled start, its time 0.0
      U32(1) + Str("$anna", 5) + Str("a\0b", 3),  // e-mail users, project
      U32(2) + Str("Farm A", 6) + Str("7", 1),    // pools by identifier, "|orphan" left out
  };
  for (const std::string& run : runs) EXPECT_NE(body.find(run), std::string::npos) << run;
  EXPECT_EQ(body.find("changed later"), std::string::npos);
}

}  // namespace
