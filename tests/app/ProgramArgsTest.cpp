#include <gtest/gtest.h>

#include <string>

#include "app/ProcessArguments.h"
#include "platform/ProgramDir.h"

namespace {

TEST(ProgramDirTest, FolderOfTheExecutableEndsInASlash) {
  EXPECT_EQ(ProgramDirFromExePath(wxT("/opt/kf/KfRcCmd")), wxT("/opt/kf/"));
  EXPECT_EQ(ProgramDirFromExePath(wxT("/KfRcCmd")), wxT("/"));
  EXPECT_EQ(ProgramDirFromExePath(wxT("KfRcCmd")), wxT(""));
  // The test program itself lives in a real folder.
  const wxString dir = GetProgramDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_TRUE(dir.StartsWith(wxT("/")) && dir.EndsWith(wxT("/")));
}

TEST(ProcessArgumentsTest, SplitsAtNulKeepsEmptyArgumentsAndDecodesUtf8) {
  const char raw[] = "prog\0-a\0\0sz\xc3\xa9ne.max\0caf\xe9\0";
  const std::string bytes(raw, sizeof raw - 1);
  const wxArrayString args = SplitProcessArguments(bytes);
  ASSERT_EQ(args.GetCount(), 4u);
  EXPECT_EQ(args[0], wxT("-a"));
  EXPECT_EQ(args[1], wxT(""));
  EXPECT_EQ(args[2], wxString::FromUTF8("sz\xc3\xa9ne.max"));
  // Bytes that are not UTF-8 survive as Latin-1.
  EXPECT_EQ(args[3], wxString::FromUTF8("caf\xc3\xa9"));
  EXPECT_TRUE(SplitProcessArguments(std::string("prog\0", 5)).IsEmpty());
}

}  // namespace
