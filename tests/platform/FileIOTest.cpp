#include "platform/FileIO.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "rs/DataXMLSerializer.h"
#include "../support/TempDir.h"

namespace {

TEST(FileIOTest, OnlyRegularFilesAreRead) {
  TempDir dir;
  const wxString file = dir.Path("Renderers.kren");
  ASSERT_TRUE(CFileIO::WriteAtomically(file, std::string("<DataRoot></DataRoot>\n")));
  std::string bytes = "old";
  EXPECT_TRUE(CFileIO::ReadBytes(file, &bytes));
  EXPECT_EQ(bytes, "<DataRoot></DataRoot>\n");

  // A named pipe with no writer would block a plain open for ever; a folder
  // cannot be read either. Both fail at once and leave nothing read.
  const wxString pipe = dir.Path("Pool.xml");
  ASSERT_EQ(mkfifo(pipe.utf8_str().data(), 0600), 0);
  EXPECT_FALSE(CFileIO::ReadBytes(pipe, &bytes));
  EXPECT_EQ(bytes, "");
  CDataNode root;
  EXPECT_FALSE(CDataXMLSerializer(&root).LoadFile(pipe));
  EXPECT_FALSE(CFileIO::ReadBytes(dir.Path(), &bytes));
  EXPECT_FALSE(CFileIO::ReadBytes(dir.Path("missing"), &bytes));
}

}  // namespace
