#include "netjob/IntRange.h"

#include <gtest/gtest.h>

namespace {

TEST(IntRangeTest, ReadsNumbersAndRangesInOrderAndWritesThemBack) {
  const struct {
    const wxChar* text;
    int from, to;
    const wxChar* written;
  } cases[] = {
      {wxT("7"), 7, 7, wxT("7")},
      {wxT(" 3 - 10 "), 3, 10, wxT("3-10")},
      {wxT("-5--2"), -5, -2, wxT("-5--2")},  // a leading "-" belongs to the first number
      {wxT("-4"), -4, -4, wxT("-4")},
      {wxT("-3-4"), -3, 4, wxT("-3-4")},
      {wxT("10-3"), 3, 10, wxT("3-10")},  // backward ranges are ordered
      {wxT("4-"), 4, 4, wxT("4")},        // a dash with nothing after it repeats the number
      {wxT("0"), 0, 0, wxT("0")},
  };
  for (const auto& c : cases) {
    IntRange range(99, 99);
    EXPECT_TRUE(range.FromString(c.text)) << c.text;
    EXPECT_EQ(range.GetFrom(), c.from) << c.text;
    EXPECT_EQ(range.GetTo(), c.to) << c.text;
    EXPECT_EQ(range.ToString(), c.written) << c.text;
  }
  EXPECT_EQ(IntRange(9, 2).ToString(), wxT("2-9"));
}

TEST(IntRangeTest, UnreadableTextIsReportedAndResets) {
  for (const wxChar* text : {wxT("a-b"), wxT(""), wxT("1-x"), wxT("99999999999")}) {
    IntRange range(99, 99);
    EXPECT_FALSE(range.FromString(text)) << text;
  }
  IntRange range(99, 99);
  range.FromString(wxT("a-b"));
  EXPECT_EQ(range.GetFrom(), 0);
  EXPECT_EQ(range.GetTo(), 0);
}

}  // namespace
