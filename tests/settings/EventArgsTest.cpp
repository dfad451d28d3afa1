#include "settings/EventArgs.h"

#include <gtest/gtest.h>

namespace {

struct CBase {
  int a = 1;
};
struct COther {
  int b = 2;
};
// The second base sits at a different address than the object itself.
struct CDerived : COther, CBase {};

TEST(EventArgsTest, SetKeepsTheFirstValueAndGetAddsMissingNamesAsNone) {
  UEventArgs args;
  EXPECT_TRUE(args.Set(wxT("Count"), UVariant::FromInt32(3)));
  EXPECT_FALSE(args.Set(wxT("Count"), UVariant::FromInt32(4)));
  EXPECT_EQ(args.Get(wxT("Count")).GetInt32(), 3);
  EXPECT_FALSE(args.Has(wxT("count")));  // names keep their case

  EXPECT_EQ(args.Find(wxT("Name")), nullptr);
  EXPECT_EQ(args.GetPointer<CBase>(wxT("Name")), nullptr);
  EXPECT_FALSE(args.Has(wxT("Name")));  // lookups that do not add
  EXPECT_TRUE(args.Get(wxT("Name")).IsNone());
  EXPECT_TRUE(args.Has(wxT("Name")));
  EXPECT_EQ(args.Count(), 2u);
}

TEST(EventArgsTest, PointersComeBackOnlyAsTheTypeTheyWereStoredAs) {
  CDerived object;
  CBase* base = &object;
  ASSERT_NE(static_cast<void*>(base), static_cast<void*>(&object));

  UEventArgs args;
  args.SetPointer(wxT("Message"), base);
  EXPECT_EQ(args.GetPointer<CBase>(wxT("Message")), base);
  // Reading it as another type would hand out a wrongly adjusted pointer.
  EXPECT_EQ(args.GetPointer<CDerived>(wxT("Message")), nullptr);
  EXPECT_EQ(args.GetPointer<COther>(wxT("Message")), nullptr);
  EXPECT_EQ(args.Get(wxT("Message")).GetType(), UVariant::kPointer);
  EXPECT_EQ(args.Get(wxT("Message")).GetRawPointer(), static_cast<void*>(base));

  args.Set(wxT("Text"), UVariant::FromString(wxT("x")));
  EXPECT_EQ(args.GetPointer<CBase>(wxT("Text")), nullptr);
  EXPECT_EQ(args.Get(wxT("Text")).GetRawPointer(), nullptr);
}

TEST(VariantTest, SettingAnotherKindDropsTheOldValue) {
  UVariant v = UVariant::FromString(wxT("text"));
  const UVariant copy = v;
  int x = 0;
  v.SetPointer(&x);
  EXPECT_TRUE(v.GetString().empty());
  EXPECT_EQ(copy.GetString(), wxT("text"));
  v.SetInt32(7);
  EXPECT_EQ(v.GetPointer<int>(), nullptr);
  EXPECT_EQ(v.GetInt32(), 7);
  EXPECT_EQ(UVariant::FromDouble(1e12).GetInt32(), INT32_MAX);  // saturates
}

}  // namespace
