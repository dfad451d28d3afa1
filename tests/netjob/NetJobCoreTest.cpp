#include "netjob/JsNetJobBase.h"

#include <gtest/gtest.h>

namespace {

// The defaults of a reset job are compared whole end to end (the packet of a
// plain submission).
TEST(NetJobCoreTest, SettersRefuseOutOfRangeValuesAndKeepTheField) {
  CJsNetJobBase job;
  job.Reset(1);
  EXPECT_FALSE(job.SetPriority(11));
  EXPECT_FALSE(job.SetPriority(0));
  EXPECT_EQ(job.GetPriority(), 5);
  EXPECT_TRUE(job.SetPriority(10));

  EXPECT_TRUE(job.SetRenderCoreCount(16));
  EXPECT_FALSE(job.SetRenderCoreCount(17));
  EXPECT_FALSE(job.SetRenderCoreCount(-1));
  EXPECT_TRUE(job.SetRenderCoreCount(0));
  EXPECT_EQ(job.GetRenderCoreCount(), 0);

  EXPECT_FALSE(job.SetName(wxT("")));
  EXPECT_EQ(job.GetName(), wxT("Unnamed job - 0001"));
  EXPECT_FALSE(job.SetClientLimit(0));
  EXPECT_TRUE(job.SetClientLimit(3));
  EXPECT_FALSE(job.SetMinClientPriority(11));
  EXPECT_FALSE(job.SetMinClientPriority(0));
  EXPECT_TRUE(job.SetMinClientPriority(10));
  EXPECT_EQ(job.GetMinClientPriority(), 10);
}

TEST(NetJobCoreTest, NotesAndTagsAreCut) {
  CJsNetJobBase job;
  job.SetNotes(wxString(wxT('n'), 3000));
  EXPECT_EQ(job.GetNotes(), wxString(wxT('n'), 2048));
  job.SetTags(wxString(wxT('t'), 600));
  EXPECT_EQ(job.GetTags().length(), 512u);
  job.SetNotes(wxT("short"));
  EXPECT_EQ(job.GetNotes(), wxT("short"));
}

TEST(NetJobCoreTest, PoolListRefusesDuplicatesAndClearsOnEmptyName) {
  CJsNetJobBase job;
  EXPECT_TRUE(job.AddPool(wxT("12|Main")));
  EXPECT_FALSE(job.AddPool(wxT("12|Main")));
  EXPECT_TRUE(job.AddPool(wxT("12|main")));  // compared with case
  EXPECT_TRUE(job.AddPool(wxT("7|Night")));
  EXPECT_TRUE(job.RemovePool(wxT("12|main")));
  EXPECT_EQ(wxJoin(job.GetPoolList(), wxT(','), wxT('\0')), wxT("12|Main,7|Night"));
  EXPECT_TRUE(job.RemovePool(wxT("")));
  EXPECT_TRUE(job.GetPoolList().empty());
}

}  // namespace
