#include "settings/OptionSet.h"

#include <gtest/gtest.h>

#include "../support/TempDir.h"

namespace {

void ExpectDefaults(const COptionSet& options) {
  EXPECT_EQ(options.GetSettings().alias, wxT(""));
  EXPECT_EQ(options.GetSettings().netJobNameFormat, wxT("Unnamed job - $(scene)"));
  EXPECT_EQ(options.GetServer().address, wxT(""));
  EXPECT_EQ(options.GetServer().port, 7506);
  EXPECT_EQ(options.GetServer().userName, wxT("User"));
  EXPECT_EQ(options.GetServer().password, wxT(""));
}

TEST(OptionSetTest, MissingKeysAndSectionsKeepTheirDefaults) {
  TempDir dir;
  dir.Write("a.conf", "[RemoteController.Server]\nServerPort = 80\n");
  dir.Write("b.conf", "[RemoteController.General]\nAlias = Farm\n[Unrelated]\nServerPort = 1\n");
  COptionSet options;
  ASSERT_TRUE(options.Load(dir.Path("a.conf")));
  EXPECT_EQ(options.GetServer().port, 80);
  EXPECT_EQ(options.GetServer().userName, wxT("User"));
  EXPECT_EQ(options.GetSettings().netJobNameFormat, wxT("Unnamed job - $(scene)"));
  // Every load starts again from the defaults.
  ASSERT_TRUE(options.Load(dir.Path("b.conf")));
  EXPECT_EQ(options.GetSettings().alias, wxT("Farm"));
  EXPECT_EQ(options.GetServer().port, 7506);
}

TEST(OptionSetTest, ValuesAreTakenAsTheIniLayoutReadsThem) {
  TempDir dir;
  dir.Write("KfRcCmd.conf",
            "[RemoteController.Server]\n"
            "ServerAddress = render-master.local   \n"
            "ServerPort = abc\n"
            "UserName = Jos\xc3\xa9\n"
            "UserPwd = \"p w;d\"\n"
            "[RemoteController.NetJobs]\n"
            "NetJobNameFormat = $(scene) # night run\n");
  COptionSet options;
  ASSERT_TRUE(options.Load(dir.Path("KfRcCmd.conf")));
  EXPECT_EQ(options.GetServer().address, wxT("render-master.local"));
  EXPECT_EQ(options.GetServer().port, 0);
  EXPECT_EQ(options.GetServer().userName, wxT("Jos\u00e9"));
  EXPECT_EQ(options.GetServer().password, wxT("\"p w;d\""));  // the quotes belong to it
  EXPECT_EQ(options.GetSettings().netJobNameFormat, wxT("$(scene)"));

  // A password with ";" or "#" would be cut there when read back: the layout
  // cannot hold it, so it is not written at all.
  options.GetServer().password = wxT("ab;cd");
  options.GetSettings().alias = wxT("x#y");
  ASSERT_TRUE(options.Save());
  COptionSet back;
  ASSERT_TRUE(back.Load(dir.Path("KfRcCmd.conf")));
  EXPECT_EQ(back.GetServer().password, wxT(""));
  EXPECT_EQ(back.GetSettings().alias, wxT(""));
  EXPECT_EQ(back.GetServer().userName, wxT("Jos\u00e9"));
}

TEST(OptionSetTest, UnreadableConfigurationFails) {
  TempDir dir;
  COptionSet options;
  EXPECT_FALSE(options.Load(dir.Dir()));  // a folder
  ExpectDefaults(options);
  EXPECT_FALSE(options.Save());
  dir.Write("binary.conf", std::string("\0\xff\x01[[=\n=;\x80", 10));
  EXPECT_TRUE(options.Load(dir.Path("binary.conf")));
  ExpectDefaults(options);
}

}  // namespace
