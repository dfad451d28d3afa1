#include "netjob/JsNetJobBase.h"

#include <gtest/gtest.h>

namespace {

// A job is always reset before use: its values after a reset, and what a
// reset keeps of the values before it.
TEST(NetJobCoreTest, ResetDefaults) {
  CJsNetJobBase job;
  job.SetSplitMode(2, 7);
  job.SetSliceMode(1, 4, 2, 3, wxT("f"));
  job.SetMinClientMemory(8);
  job.AssignMinClientPriority(4);
  EXPECT_FALSE(job.Reset(-1));
  EXPECT_EQ(job.GetId(), -1);
  EXPECT_EQ(job.GetName(), wxT("Unnamed job - -001"));
  EXPECT_EQ(job.GetPriority(), 5);
  EXPECT_EQ(job.GetRenderCoreCount(), 1);
  EXPECT_TRUE(job.GetSendEmails());
  EXPECT_TRUE(job.GetUse32Bit());
  EXPECT_TRUE(job.GetUse64Bit());
  EXPECT_EQ(job.GetClientLimit(), -1);
  EXPECT_EQ(job.GetMinClientMemory(), 0);
  // The split mode keeps its mode, the slice mode its format; the minimum
  // client priority cannot be reset to -1 through its setter.
  EXPECT_EQ(job.GetSplitMode().mode, 2);
  EXPECT_EQ(job.GetSplitMode().count, 0);
  EXPECT_EQ(job.GetSliceMode().x + job.GetSliceMode().y + job.GetSliceMode().overlap, 0);
  EXPECT_EQ(job.GetSliceMode().format, wxT("f"));
  EXPECT_EQ(job.GetMinClientPriority(), 4);

  // The minimum client priority refuses -1, so no reset reports success.
  EXPECT_FALSE(job.Reset(12));
  EXPECT_EQ(job.GetId(), 12);
  EXPECT_EQ(job.GetName(), wxT("Unnamed job - 0012"));
}

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
