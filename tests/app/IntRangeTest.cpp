#include "app/IntRange.h"

#include <gtest/gtest.h>

namespace {

IntRange Read(const wxString& text, bool* ok = nullptr) {
  IntRange range(99, 99);
  const bool result = range.FromString(text);
  if (ok != nullptr) *ok = result;
  return range;
}

TEST(IntRangeTest, ReadsSingleNumbersRangesAndNegativeEnds) {
  IntRange r = Read(wxT("7"));
  EXPECT_EQ(r.GetFrom(), 7);
  EXPECT_EQ(r.GetTo(), 7);
  r = Read(wxT(" 3 - 10 "));
  EXPECT_EQ(r.GetFrom(), 3);
  EXPECT_EQ(r.GetTo(), 10);
  // A leading "-" belongs to the first number.
  r = Read(wxT("-5--2"));
  EXPECT_EQ(r.GetFrom(), -5);
  EXPECT_EQ(r.GetTo(), -2);
  r = Read(wxT("-4"));
  EXPECT_EQ(r.GetFrom(), -4);
  EXPECT_EQ(r.GetTo(), -4);
}

TEST(IntRangeTest, BackwardRangesAreOrdered) {
  IntRange r = Read(wxT("10-3"));
  EXPECT_EQ(r.GetFrom(), 3);
  EXPECT_EQ(r.GetTo(), 10);
  IntRange manual(9, 2);
  EXPECT_EQ(manual.ToString(), wxT("2-9"));
}

TEST(IntRangeTest, TextFormRoundTrips) {
  for (const wxChar* text : {wxT("7"), wxT("3-10"), wxT("-5--2"), wxT("-3-4"), wxT("0")}) {
    EXPECT_EQ(Read(text).ToString(), text);
  }
}

TEST(IntRangeTest, UnreadableTextIsReportedAndResets) {
  bool ok = true;
  IntRange r = Read(wxT("a-b"), &ok);
  EXPECT_FALSE(ok);
  EXPECT_EQ(r.GetFrom(), 0);
  EXPECT_EQ(r.GetTo(), 0);
  Read(wxT(""), &ok);
  EXPECT_FALSE(ok);
  Read(wxT("1-x"), &ok);
  EXPECT_FALSE(ok);
  Read(wxT("99999999999"), &ok);
  EXPECT_FALSE(ok);
  // A dash with nothing after it repeats the first number.
  r = Read(wxT("4-"), &ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(r.ToString(), wxT("4"));
}

}  // namespace
