#include "platform/UserFolders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>

#include "../support/TempDir.h"

namespace {

CUserFolders With(std::map<std::string, wxString> variables, uid_t uid = 1000) {
  return CUserFolders(
      [variables](const char* name) {
        const auto it = variables.find(name);
        return it == variables.end() ? wxString() : it->second;
      },
      uid, wxT("/home/anna"));
}

// The defaults under the home folder are the end-to-end tests'.
TEST(UserFoldersTest, XdgFoldersFromTheirVariables) {
  const CUserFolders set = With({{"XDG_STATE_HOME", wxT("/s/")},
                                 {"XDG_CACHE_HOME", wxT("/c")},
                                 {"XDG_CONFIG_HOME", wxT("relative/is/ignored")}});
  EXPECT_EQ(set.StateDir(), wxT("/s/kilnforge"));
  EXPECT_EQ(set.RendererCacheDir(), wxT("/c/kilnforge/Renderers"));
  EXPECT_EQ(set.ConfigDir(), wxT("/home/anna/.config/kilnforge"));
}

// A folder of the user's own and one of root's are the end-to-end tests'.
TEST(UserFoldersTest, AFolderThatDoesNotExistIsNotTheUsers) {
  TempDir dir;
  EXPECT_FALSE(With({}, geteuid()).Owns(dir.Path("missing")));
}

TEST(UserFoldersTest, FoldersMadeForTheUserArePrivate) {
  TempDir dir;
  const mode_t old = umask(0);  // even a permissive umask gives 0700
  ASSERT_TRUE(CUserFolders::MakePrivateDirs(dir.Path("state/kilnforge")));
  umask(old);
  EXPECT_EQ(dir.Mode("state"), 0700);
  EXPECT_EQ(dir.Mode("state/kilnforge"), 0700);
  EXPECT_TRUE(CUserFolders::MakePrivateDirs(dir.Path("state/kilnforge")));  // exists already
  dir.Write("file", "x");
  EXPECT_FALSE(CUserFolders::MakePrivateDirs(dir.Path("file")));
}

}  // namespace
