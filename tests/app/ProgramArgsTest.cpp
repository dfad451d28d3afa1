#include <gtest/gtest.h>

#include <string>

#include "app/ProcessArguments.h"
#include "platform/ProgramDir.h"

namespace {

// The program's own folder, found at run time, is the end-to-end tests'.
TEST(ProgramDirTest, FolderOfTheExecutableEndsInASlash) {
  EXPECT_EQ(ProgramDirFromExePath(wxT("/opt/kf/KfRcCmd")), wxT("/opt/kf/"));
  EXPECT_EQ(ProgramDirFromExePath(wxT("/KfRcCmd")), wxT("/"));
  EXPECT_EQ(ProgramDirFromExePath(wxT("KfRcCmd")), wxT(""));
}

TEST(ProcessArgumentsTest, SplitsAtNulKeepsEmptyArgumentsAndDecodesUtf8) {
  const char raw[] = "prog\0-a\0\0sz\xc3\xa9ne.max\0\xf0\x9f\x8e\xac\0";
  const std::string bytes(raw, sizeof raw - 1);
  size_t invalid = 99;
  const wxArrayString args = SplitProcessArguments(bytes, &invalid);
  EXPECT_EQ(invalid, 0u);
  ASSERT_EQ(args.GetCount(), 4u);
  EXPECT_EQ(args[0], wxT("-a"));
  EXPECT_EQ(args[1], wxT(""));
  EXPECT_EQ(args[2], wxString::FromUTF8("sz\xc3\xa9ne.max"));
  EXPECT_EQ(args[3], wxString::FromUTF8("\xf0\x9f\x8e\xac"));
  EXPECT_TRUE(SplitProcessArguments(std::string("prog\0", 5)).IsEmpty());
}

TEST(ProcessArgumentsTest, ArgumentsThatAreNotUtf8AreNamedByPosition) {
  // Latin-1, an encoded surrogate, an overlong slash, a cut sequence, a
  // code point above U+10FFFF: none is guessed at.
  for (const std::string& bad : {std::string("caf\xe9.blend"), std::string("\xed\xa0\x80" ".ma"),
                                std::string("a\xc0\xaf" "b"), std::string("x\xc3"),
                                std::string("\xf4\x90\x80\x80")}) {
    size_t invalid = 0;
    const wxArrayString args = SplitProcessArguments(
        std::string("prog\0-nj_name\0ok\0", 17) + bad + '\0' + "y\xff", &invalid);
    EXPECT_EQ(invalid, 3u) << bad;
    ASSERT_EQ(args.GetCount(), 2u) << bad;  // "y\xff" is not valid either
    EXPECT_EQ(args[1], wxT("ok"));
  }
}

}  // namespace
