#include "platform/MachineEnvironment.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

class MachineEnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kfmenv.XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
    m_file = m_dir + "/90-kilnforge.conf";
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  std::string Read() const {
    std::ifstream in(m_file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Write(const std::string& s) const { std::ofstream(m_file, std::ios::binary) << s; }
  wxString File() const { return wxString::FromUTF8(m_file); }

  std::string m_dir;
  std::string m_file;
};

TEST_F(MachineEnvironmentTest, FileComesFromTheVariableOrTheDefault) {
  ::setenv(CMachineEnvironment::kFileVariable, m_file.c_str(), 1);
  EXPECT_EQ(CMachineEnvironment().GetPath(), File());
  ::setenv(CMachineEnvironment::kFileVariable, "", 1);
  EXPECT_EQ(CMachineEnvironment().GetPath(), wxT("/etc/environment.d/90-kilnforge.conf"));
  ::unsetenv(CMachineEnvironment::kFileVariable);
  EXPECT_EQ(CMachineEnvironment().GetPath(), wxT("/etc/environment.d/90-kilnforge.conf"));
}

TEST_F(MachineEnvironmentTest, SetReplacesEveryEarlierLineOfTheName) {
  Write("A=1\r\nKF_CMDRC_DIR=/a/\nKF_CMDRC_DIR = /b/\n  # KF_CMDRC_DIR=/comment/\nKF_CMDRC_DIRX=/c/");
  CMachineEnvironment env(File());
  ASSERT_TRUE(env.Set(wxT("KF_CMDRC_DIR"), wxT("/new/")));
  EXPECT_EQ(Read(), "A=1\r\nKF_CMDRC_DIR=/new/\n  # KF_CMDRC_DIR=/comment/\nKF_CMDRC_DIRX=/c/\n");
  wxString value;
  ASSERT_TRUE(env.Get(wxT("KF_CMDRC_DIRX"), &value));
  EXPECT_EQ(value, wxT("/c/"));
  EXPECT_FALSE(env.Get(wxT("MISSING"), &value));
  EXPECT_FALSE(env.Set(wxT("KF_CMDRC_DIR"), wxT("/two\nlines/")));
  EXPECT_FALSE(env.Set(wxString(), wxT("x")));
}

TEST_F(MachineEnvironmentTest, SpecialCharactersAreEscapedAndReadBack) {
  CMachineEnvironment env(File());
  const wxString dir = wxT("/srv/$HOME's \"farm\"\\\u00e9/");
  ASSERT_TRUE(env.Set(wxT("KF_CMDRC_DIR"), dir));
  EXPECT_EQ(Read(), "KF_CMDRC_DIR=/srv/\\$HOME\\'s \\\"farm\\\"\\\\\xc3\xa9/\n");
  wxString value;
  ASSERT_TRUE(env.Get(wxT("KF_CMDRC_DIR"), &value));
  EXPECT_EQ(value, dir);
}

TEST_F(MachineEnvironmentTest, PermissionsOfNewAndExistingFiles) {
  CMachineEnvironment env(File());
  const mode_t old = ::umask(022);
  ASSERT_TRUE(env.Set(wxT("A"), wxT("1")));
  struct stat st;
  ASSERT_EQ(::stat(m_file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  ::chmod(m_file.c_str(), 0600);
  ASSERT_TRUE(env.Set(wxT("A"), wxT("2")));
  ASSERT_EQ(::stat(m_file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ::umask(old);
  // Nothing but the file itself is left in the folder.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), std::filesystem::directory_iterator()), 1);
}

TEST_F(MachineEnvironmentTest, RemoveKeepsCommentsAndOtherLines) {
  Write("# keep me\nKF_CMDRC_DIR=/a/\n");
  CMachineEnvironment env(File());
  ASSERT_TRUE(env.Remove(wxT("KF_CMDRC_DIR")));
  EXPECT_EQ(Read(), "# keep me\n");
  EXPECT_TRUE(env.Remove(wxT("KF_CMDRC_DIR")));
  EXPECT_TRUE(env.Remove(wxString()));
  EXPECT_EQ(Read(), "# keep me\n");
  CMachineEnvironment missing(wxString::FromUTF8(m_dir + "/none.conf"));
  EXPECT_TRUE(missing.Remove(wxT("KF_CMDRC_DIR")));
  EXPECT_FALSE(std::filesystem::exists(m_dir + "/none.conf"));
}

}  // namespace
