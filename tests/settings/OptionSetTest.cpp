#include "settings/OptionSet.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "settings/ConfigPrivacy.h"
#include "../support/TempDir.h"

namespace {

// How values are read from the file and which ones a save leaves out are the
// settings format's tests; the same reader and writer serve this file.
TEST(OptionSetTest, MissingKeysAndSectionsKeepTheirDefaults) {
  TempDir dir;
  dir.Write("a.conf", "[RemoteController.Server]\nServerPort = 80\n");
  dir.Write("b.conf", "[RemoteController.General]\nAlias = Farm\n[Unrelated]\nServerPort = 1\n");
  COptionSet options;
  ASSERT_TRUE(options.Load(dir.Path("a.conf")));
  EXPECT_EQ(options.GetServer().port, 80);
  // Every load starts again from the defaults (which the end-to-end tests see
  // written when the file is missing).
  ASSERT_TRUE(options.Load(dir.Path("b.conf")));
  EXPECT_EQ(options.GetSettings().alias, wxT("Farm"));
  EXPECT_EQ(options.GetServer().port, 7506);
}

TEST(OptionSetTest, TheUsersOwnFileWinsKeyByKeyAndSaveKeepsTheProgramsFile) {
  TempDir dir;
  dir.Write("site.conf",
            "[RemoteController.Server]\nServerAddress = farm\nServerPort = 80\nUserName = site\n");
  dir.Write("user.conf", "[RemoteController.Server]\nUserName = anna\nUserPwd = secret\n");
  COptionSet options;
  ASSERT_TRUE(options.Load(dir.Path("site.conf")));
  ASSERT_TRUE(options.LoadOver(dir.Path("user.conf")));
  EXPECT_EQ(options.GetServer().address, wxT("farm"));
  EXPECT_EQ(options.GetServer().port, 80);
  EXPECT_EQ(options.GetServer().userName, wxT("anna"));
  EXPECT_EQ(options.GetServer().password, wxT("secret"));
  EXPECT_FALSE(options.LoadOver(dir.Path("missing.conf")));
  EXPECT_EQ(options.GetServer().userName, wxT("anna"));
  // Saving rewrites the site's file, never the user's.
  ASSERT_TRUE(options.Save());
  EXPECT_EQ(dir.Read("user.conf"),
            "[RemoteController.Server]\nUserName = anna\nUserPwd = secret\n");
}

// The report, that a run stops on it, and the common cases are the end-to-end tests'.
TEST(ConfigPrivacyTest, APasswordInAFileOthersCanReadIsExposed) {
  TempDir dir;
  dir.Write("pwd.conf", "[RemoteController.Server]\nUserName = anna\nUserPwd = secret\n");
  dir.Write("nopwd.conf", "[RemoteController.Server]\nUserName = anna\nUserPwd =\n");
  dir.Write("login.conf", "[Defaults]\nlogin = anna:secret\n");
  dir.Write("user.conf", "[Defaults]\nlogin = anna\nnj_priority = 5\n");
  const struct {
    const char* name;
    CConfigPrivacy::Kind kind;
    mode_t mode;
    bool exposed;
  } cases[] = {
      {"pwd.conf", CConfigPrivacy::kCoreConfiguration, 0640, true},
      {"pwd.conf", CConfigPrivacy::kCoreConfiguration, 0604, true},
      {"pwd.conf", CConfigPrivacy::kCoreConfiguration, 0600, false},
      {"pwd.conf", CConfigPrivacy::kCoreConfiguration, 0620, false},  // others may write, not read
      {"nopwd.conf", CConfigPrivacy::kCoreConfiguration, 0644, false},
      {"login.conf", CConfigPrivacy::kDefaults, 0644, true},
      {"user.conf", CConfigPrivacy::kDefaults, 0644, false},
      {"missing.conf", CConfigPrivacy::kDefaults, 0644, false},
  };
  for (const auto& c : cases) {
    chmod(dir.Native(c.name).c_str(), c.mode);
    EXPECT_EQ(CConfigPrivacy::ExposesPassword(dir.Path(c.name), c.kind), c.exposed)
        << c.name << " " << std::oct << c.mode;
  }
}

}  // namespace
