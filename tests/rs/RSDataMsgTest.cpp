// Render-system data records and the message that carries them.
#include <gtest/gtest.h>

#include "net/MemoryStream.h"
#include "rs/RSDataCommand.h"
#include "rs/RSDataMsg.h"

namespace {

std::unique_ptr<CRSDataMsg> RoundTrip(CRSDataMsg& msg) {
  CMemoryStream out(CMemoryStream::kWrite);
  EXPECT_TRUE(msg.Serialize(out));
  CMemoryStream in(CMemoryStream::kRead);
  in.Write(out.Data(), out.Size());
  auto back = std::make_unique<CRSDataMsg>();
  EXPECT_TRUE(back->Serialize(in));
  return back;
}

TEST(RSDataMsgTest, ReadingKeepsTheValidRecordsInOrder) {
  // Writing goes through a second message so that invalid records reach the
  // wire: AddRecord refuses them.
  // Modes: 0 keyed, 1 text, 2 no text; kinds: 1 pool, 2 group, 3 renderer, 4 version.
  CRSDataMsg msg;
  msg.stamp = 42;
  EXPECT_FALSE(msg.AddRecord(CRSDataCommand(0, 1, wxT("k"), wxT("t"))));
  msg.AddRecord(CRSDataCommand(1, 1, wxT("Pool"), wxString::FromUTF8("<DataRoot>ü</DataRoot>")));
  msg.AddRecord(CRSDataCommand(2, 3, wxT("Old"), wxString()));
  // A pool record must carry its text; a keyed record needs both texts.
  msg.Records().push_back(std::make_unique<CRSDataCommand>(0, 1, wxT("k"), wxT("t")));
  msg.Records().push_back(std::make_unique<CRSDataCommand>(2, 1, wxT("k"), wxString()));
  msg.Records().push_back(std::make_unique<CRSDataCommand>(0, 2, wxString(), wxT("t")));
  msg.Records().push_back(std::make_unique<CRSDataCommand>(0, 3, wxT("k"), wxString()));
  msg.AddRecord(CRSDataCommand(0, 4, wxT("R/1"), wxT("<x/>")));
  msg.AddRecord(CRSDataCommand(1, 1, wxString(), wxString()));

  auto back = RoundTrip(msg);
  EXPECT_EQ(back->stamp, 42);
  ASSERT_EQ(back->Records().size(), 4u);
  EXPECT_EQ(back->Records()[0]->text, wxString::FromUTF8("<DataRoot>ü</DataRoot>"));
  EXPECT_EQ(back->Records()[1]->key, wxT("Old"));
  EXPECT_EQ(back->Records()[1]->mode, 2);
  EXPECT_EQ(back->Records()[2]->kind, 4);
  EXPECT_EQ(back->Records()[3]->kind, 1);
}

TEST(RSDataMsgTest, StampAloneAndACountBeyondTheBytes) {
  CRSDataMsg empty;
  empty.stamp = -7;
  auto back = RoundTrip(empty);
  EXPECT_EQ(back->stamp, -7);
  EXPECT_TRUE(back->Records().empty());

  // A data part announcing 2^31 records but holding one.
  class Lying : public CRSDataMsg {
   protected:
    bool WriteData(CMemoryStream& s) const override {
      return s.WriteInt32(5) && s.WriteUInt32(0x80000000u) && s.WriteInt32(1) &&
             s.WriteInt32(1) && s.WriteString(wxT("Pool")) && s.WriteString(wxT("<a/>"));
    }
  } lying;
  auto partial = RoundTrip(lying);
  EXPECT_EQ(partial->stamp, 5);
  ASSERT_EQ(partial->Records().size(), 1u);
  EXPECT_EQ(partial->Records()[0]->text, wxT("<a/>"));
}

}  // namespace
