#include "netjob/NetJobPacketBody.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Expected bytes, spelled out item by item.
struct Bytes {
  std::string b;
  Bytes& u8(int v) { b.push_back(static_cast<char>(v)); return *this; }
  Bytes& le(unsigned v) {
    for (int i = 0; i < 4; ++i) u8((v >> (8 * i)) & 0xFF);
    return *this;
  }
  Bytes& s(const char* text) { b.append(text); b.push_back('\0'); return *this; }
  Bytes& zeros(int n) { b.append(static_cast<size_t>(n), '\0'); return *this; }
};

TEST(NetJobPacketBodyTest, DefaultBodyLaysOutEveryItemInOrder) {
  CNetJobPacketBody body;
  std::string out;
  body.Write(out);
  Bytes e;
  e.le(0).le(0xFFFFFFFFu).s("").s("").le(0xFF000000u).le(0).u8(0).s("")  // 1-8
      .u8(0).u8(0).le(0).u8(0).u8(0)                                     // 9-13
      .le(0).le(0).le(0).le(0).le(0).le(0).s("")                          // 14-20
      .le(0).le(0).u8(0)                                                  // 21-23
      .u8(0).zeros(8).s("")                                               // 24-26
      .le(0).le(0).le(0).le(0).le(0).le(0).u8(0)                          // 27-33
      .u8(0).le(0).le(0).le(0).u8(0).le(0).le(0).le(0)                    // 34-41
      .le(0).le(0).u8(0)                                                  // 42-44
      .le(0).s("").s("").le(0).u8(0).u8(0).u8(0)                          // 45-51
      .le(0).s("").le(0).s("").s("").s("").s("")                          // 52-58
      .u8(0).le(0).le(0).u8(0).s("");                                     // 59-63
  EXPECT_EQ(out, e.b);
}

TEST(NetJobPacketBodyTest, ValuesLandInTheirItems) {
  CNetJobPacketBody body;
  body.id = 0x01020304;
  body.name = wxT("Job");
  body.color = 0x000080FF;
  body.priority = 7;
  body.urgent = true;
  body.renderer = wxT("G/R");
  body.use64Bit = true;
  body.renderCoreCount = 2;
  body.sliceMode = {1, 4, 2, 3, wxT("fmt")};
  body.extendedSplitting.Add(wxT("camera"));
  body.schedule.enabled = true;
  body.schedule.time = 0.0;
  body.schedule.text = wxT("tomorrow");
  body.dependencies = {5, -1};
  body.timeThresholds.useUpper = true;
  body.timeThresholds.upperMinutes = 9;
  body.events.AddEvent(new CNetJobEvent(1, 2, 3, wxT("ev")));
  body.events.AddEvent(new CNetJobEvent(0, 4, 5, wxT("first")));
  body.emailUsers.Add(wxT("anna"));
  body.notes = wxString::FromUTF8("caf\xc3\xa9");
  body.pools.Add(wxT("12"));
  body.clientList.Add(wxT("node1"));
  body.clientListAdmitsOnly = true;
  body.renderSettings = "<RenderSet/>";
  std::string out;
  body.Write(out);

  Bytes e;
  e.le(0).le(0x01020304).s("").s("Job").le(0x000080FF).le(7).u8(1).s("G/R")
      .u8(0).u8(1).le(2).u8(0).u8(0)
      .le(0).le(0).le(1).le(2).le(4).le(3).s("fmt")  // Y (2) before X (4)
      .le(1).s("camera").le(0).u8(0)
      .u8(1).zeros(8).s("tomorrow")
      .le(0).le(0).le(0).le(0).le(2).le(5).le(0xFFFFFFFFu).le(0).u8(0)
      .u8(0).le(0).le(0).le(0).u8(1).le(9).le(0).le(0)
      .le(0).le(0).u8(0)
      .le(0).s("").s("").le(0).u8(0).u8(0).u8(0)
      .le(2)
      .le(1).le(2).s("ev").le(3).le(0)
      .le(0).le(4).s("first").le(5).le(0)
      .s("").le(1).s("$anna").s("").s("caf\xc3\xa9").s("").s("")
      .u8(0).le(1).s("12").le(1).s("node1").u8(1).s("<RenderSet/>");
  EXPECT_EQ(out, e.b);
}

TEST(NetJobPacketBodyTest, MarshalCutsPoolsAndCopiesTheJob) {
  CJsNetJobBase job;
  job.Reset(-1);
  job.AddPool(wxT("Farm A|12"));
  job.AddPool(wxT("|orphan"));
  job.AddPool(wxT("7"));
  job.GetEvents().AddEvent(new CNetJobEvent(4, 0, 0, wxT("x")));
  job.GetEmailUsers().Add(wxT("bob"));
  job.SetStartPaused(true);

  CNetJobPacketBody body;
  EXPECT_TRUE(body.MarshalFrom(job));
  EXPECT_EQ(wxJoin(body.pools, wxT(','), wxT('\0')), wxT("Farm A,7"));
  EXPECT_EQ(body.id, -1);
  EXPECT_EQ(body.name, wxT("Unnamed job - -001"));
  EXPECT_EQ(body.priority, 5);
  EXPECT_TRUE(body.use32Bit && body.use64Bit && body.sendEmails && body.startPaused);
  EXPECT_EQ(body.renderer, wxT(""));  // no renderer chosen
  EXPECT_EQ(body.events.GetCount(), 1u);
  EXPECT_EQ(body.schedule.time, 0.0);
  // The render set travels as its XML text.
  EXPECT_NE(body.renderSettings.find("<RenderSet>"), std::string::npos);

  // The body is a copy: changing the job afterwards changes nothing.
  job.GetEvents().Clear();
  job.SetName(wxT("other"));
  EXPECT_EQ(body.events.GetCount(), 1u);
  EXPECT_EQ(body.name, wxT("Unnamed job - -001"));
}

}  // namespace
