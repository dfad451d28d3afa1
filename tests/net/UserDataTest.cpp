#include "net/UserData.h"

#include <gtest/gtest.h>

#include "../support/Strings.h"

namespace {

CUserData WithPools(std::initializer_list<const char*> entries) {
  CUserData data;
  data.SetPools(Strings(entries));
  return data;
}

TEST(UserDataTest, FindPoolTrimsComparesWithCaseAndSplitsAtTheFirstBar) {
  CUserData data = WithPools(
      {"12|Main", "14|Lighting", "99|Main", "17|Prévis Ü", "20|Night|shift", "no bar at all"});
  EXPECT_EQ(data.FindPool(wxT("  Main \t")), wxT("12"));  // first match wins
  EXPECT_EQ(data.FindPool(wxT("main")), wxString());
  EXPECT_EQ(data.FindPool(wxT("Lighting")), wxT("14"));
  EXPECT_EQ(data.FindPool(wxString()), wxString());
  EXPECT_EQ(data.FindPool(wxString::FromUTF8("Prévis Ü")), wxT("17"));
  EXPECT_EQ(data.FindPool(wxT("Night|shift")), wxT("20"));
  EXPECT_EQ(data.FindPool(wxT("no bar at all")), wxString());
}

TEST(UserDataTest, ClearDropsPoolsAndRightsButKeepsTheRest) {
  CUserData data = WithPools({"12|Main"});
  data.GetRights().Set(0x100);
  data.SetPriorityLimit(80);
  data.SetJobColour(0xFF00FF00);
  data.Clear();
  EXPECT_TRUE(data.GetPools().IsEmpty());
  EXPECT_FALSE(data.GetRights().Has(0x100));
  EXPECT_EQ(data.FindPool(wxT("Main")), wxString());
  EXPECT_EQ(data.GetPriorityLimit(), 80);
}

}  // namespace
