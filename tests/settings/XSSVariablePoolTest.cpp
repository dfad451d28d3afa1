#include "settings/XSSVariablePool.h"

#include <gtest/gtest.h>

#include "../support/TempDir.h"

namespace {

struct Bound {
  int port = 7506;
  double ratio = 0.5;
  bool flag = false;
  wxString name = wxT("User");
  UXSSVariablePool pool;
  explicit Bound(const wxString& file) {
    pool.SetFile(file);
    pool.AddVariable(&name, wxT("A.Server"), wxT("UserName"));
    pool.AddVariable(&port, wxT("A.Server"), wxT("ServerPort"));
    pool.AddVariable(&ratio, wxT("B"), wxT("Ratio"));
    pool.AddVariable(&flag, wxT("B"), wxT("Flag"));
  }
};

TEST(XSSVariablePoolTest, SaveWritesOnlyTheBindingsInTheirOrder) {
  TempDir dir;
  dir.Write("pool.conf", "[Old]\nKey = 1\n");
  Bound b(dir.Path("pool.conf"));
  b.flag = true;
  b.ratio = 1.25;
  // Binding the same section and key again replaces the first binding.
  int otherPort = 80;
  b.pool.AddVariable(&otherPort, wxT("A.Server"), wxT("ServerPort"));
  ASSERT_EQ(b.pool.GetVariables().size(), 4u);
  ASSERT_TRUE(b.pool.Exchange(false));
  EXPECT_EQ(dir.Read("pool.conf"),
            "[A.Server]\r\nUserName = User\r\nServerPort = 80\r\n\r\n"
            "[B]\r\nRatio = 1.250000\r\nFlag = true\r\n\r\n");

  Bound back(dir.Path("pool.conf"));
  ASSERT_TRUE(back.pool.Exchange(true));
  EXPECT_EQ(back.port, 80);
  EXPECT_TRUE(back.flag);
  EXPECT_DOUBLE_EQ(back.ratio, 1.25);
}

TEST(XSSVariablePoolTest, MissingFileNameOrTargetFails) {
  UXSSVariablePool pool;
  EXPECT_FALSE(pool.Exchange(true));
  EXPECT_FALSE(pool.Exchange(false));

  TempDir dir;
  dir.Write("pool.conf", "[S]\nK = 1\n");
  pool.SetFile(dir.Path("pool.conf"));
  pool.AddVariable(static_cast<int*>(nullptr), wxT("S"), wxT("K"));
  EXPECT_FALSE(pool.Exchange(true));
  EXPECT_FALSE(pool.Exchange(false));
  EXPECT_EQ(dir.Read("pool.conf"), "[S]\nK = 1\n");  // nothing half written
}

}  // namespace
