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

TEST(XSSVariablePoolTest, LoadKeepsWhatTheFileDoesNotHold) {
  TempDir dir;
  dir.Write("pool.conf", "[A.Server]\nServerPort = abc\nOther = 1\n[C]\nRatio = 2.5\n");
  Bound b(dir.Path("pool.conf"));
  ASSERT_TRUE(b.pool.Exchange(true));
  EXPECT_EQ(b.port, 0);                 // text where a number belongs
  EXPECT_EQ(b.name, wxT("User"));       // missing key
  EXPECT_DOUBLE_EQ(b.ratio, 0.5);       // missing section
  EXPECT_FALSE(b.flag);

  Bound missing(dir.Path("none.conf"));
  EXPECT_FALSE(missing.pool.Exchange(true));
  EXPECT_EQ(missing.port, 7506);
}

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
