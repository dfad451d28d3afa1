#include "rs/FileUtil.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "rs/DataXMLSerializer.h"
#include "RSTestUtil.h"

namespace {

TEST(FileUtilTest, OnlyRegularFilesAreRead) {
  TempDir dir;
  const wxString file = dir.File("Renderers.kren");
  ASSERT_TRUE(rsfile::WriteFileAtomic(file, std::string("<DataRoot></DataRoot>\n")));
  std::string bytes = "old";
  EXPECT_TRUE(rsfile::ReadFile(file, &bytes));
  EXPECT_EQ(bytes, "<DataRoot></DataRoot>\n");

  // A named pipe with no writer would block a plain open for ever; a folder
  // cannot be read either. Both fail at once and leave nothing read.
  const wxString pipe = dir.File("Pool.xml");
  ASSERT_EQ(mkfifo(pipe.utf8_str().data(), 0600), 0);
  EXPECT_FALSE(rsfile::ReadFile(pipe, &bytes));
  EXPECT_EQ(bytes, "");
  CDataNode root;
  EXPECT_FALSE(CDataXMLSerializer(&root).LoadFile(pipe));
  EXPECT_FALSE(rsfile::ReadFile(dir.Path(), &bytes));
  EXPECT_FALSE(rsfile::ReadFile(dir.File("missing"), &bytes));
}

}  // namespace
