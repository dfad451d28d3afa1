#include "netjob/ScenePattern.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../support/TempDir.h"

namespace {

wxArrayString Frames(const wxString& pattern, bool expectOk = true) {
  wxArrayString scenes;
  EXPECT_EQ(CScenePattern().ExpandFrames(pattern, scenes), expectOk) << pattern;
  return scenes;
}

wxString Joined(const wxArrayString& list) { return wxJoin(list, wxT(','), wxT('\0')); }

TEST(ScenePatternTest, FramePatternsExpandInOrder) {
  const std::pair<const wxChar*, const wxChar*> cases[] = {
      {wxT("frames\\shot_##[8-10].ma"),
       wxT("frames\\shot_08.ma,frames\\shot_09.ma,frames\\shot_10.ma")},
      {wxT("s#[9-11].ma"), wxT("s9.ma,s10.ma,s11.ma")},  // wider numbers are not cut
      {wxT("a_#[1-5;2]"), wxT("a_1,a_3,a_5")},
      {wxT("a_#[5-1;2]"), wxT("a_1,a_3,a_5")},
      // Pieces are taken in order and duplicates stay.
      {wxT("sh_###[1-3, 20 ,2]"), wxT("sh_001,sh_002,sh_003,sh_020,sh_002")},
      {wxT("f_##[-2-1]"), wxT("f_-2,f_-1,f_00,f_01")},
      {wxT("#[1-2]/shot_#.ma"), wxT("1/shot_1.ma,2/shot_2.ma")},  // every hash takes the number
      {wxT("s#[2147483646-2147483647;5]"), wxT("s2147483646")},  // no overflow near the limit
  };
  for (const auto& [pattern, expected] : cases) EXPECT_EQ(Joined(Frames(pattern)), expected);
}

TEST(ScenePatternTest, MalformedFramePatternsAreRefused) {
  // The steps 0 and -1 would never end; the last two are far more frames than any job can hold.
  for (const wxChar* bad :
       {wxT("shot_##[1-3.ma"), wxT("shot_#x[1-3].ma"), wxT("shot_##].ma"), wxT("shot_#[1-3;0].ma"),
        wxT("shot_#[1-3;-1].ma"), wxT("shot_#[1-3;x].ma"), wxT("shot_#[a-b].ma"),
        wxT("shot_#[].ma"), wxT("shot_#[1-3,].ma"), wxT("shot_#[1-2000000000].ma"),
        wxT("shot_#[-2147483648-2147483647;1000].ma")}) {
    Frames(bad, false);
  }
}

TEST(ScenePatternTest, OneSubmissionsScenesShareOneBudgetWeighedBeforeExpanding) {
  // Each scene weighs its UTF-8 bytes and the element that carries it.
  const size_t per = CScenePattern::kPacketBytesPerScene;
  CScenePattern patterns;
  patterns.ResetBudget(3 * (7 + per) + 30);
  wxArrayString scenes;
  EXPECT_TRUE(patterns.Expand(wxT("@s_##[1-3].ma"), scenes));  // "s_01.ma": 7 bytes
  EXPECT_EQ(scenes.size(), 3u);
  // 2 x 22 bytes is over the 30 left: refused as too large, and nothing of it is added.
  EXPECT_FALSE(patterns.Expand(wxT("@x#[1-2]"), scenes));
  EXPECT_TRUE(patterns.IsTooLarge());
  EXPECT_EQ(scenes.size(), 3u);
  // What still fits is taken; a plain name counts too ("é.ma": 5 bytes).
  EXPECT_TRUE(patterns.Expand(wxT("\u00e9.ma"), scenes));
  EXPECT_FALSE(patterns.Expand(wxT("b"), scenes));
  EXPECT_TRUE(patterns.IsTooLarge());
  // An invalid pattern is not "too large".
  EXPECT_FALSE(patterns.Expand(wxT("@s#[1-2;0]"), scenes));
  EXPECT_FALSE(patterns.IsTooLarge());

  // A million frames of 1000 digits each is refused at once, without building one.
  patterns.ResetBudget();
  wxArrayString none;
  EXPECT_FALSE(patterns.Expand(wxT("@/p/") + wxString(wxT('#'), 1000) + wxT("[1-1000000]"), none));
  EXPECT_TRUE(patterns.IsTooLarge());
  EXPECT_TRUE(none.empty());
}

TEST(ScenePatternTest, PlainArgumentsAndPatternsWithoutSpecials) {
  CScenePattern p;
  wxArrayString scenes;
  EXPECT_TRUE(p.Expand(wxT("does/not/exist.ma"), scenes));
  EXPECT_TRUE(p.Expand(wxT("@plain.ma"), scenes));
  EXPECT_TRUE(p.Expand(wxT("@f/s#[1-2].ma"), scenes));
  EXPECT_EQ(Joined(scenes), wxT("does/not/exist.ma,plain.ma,f/s1.ma,f/s2.ma"));
}

TEST(ScenePatternTest, WildcardsMatchNamesOfTheFolderInOrder) {
  CScenePattern p;
  wxString listed;
  p.SetFolderLister([&listed](const wxString& folder, wxArrayString& names) {
    listed = folder;
    for (const wxChar* name : {wxT("b.ma"), wxT("a.ma"), wxT("c.mb"), wxT("A.MA")}) names.Add(name);
  });
  wxArrayString scenes;
  EXPECT_TRUE(p.Expand(wxT("@C:\\shots\\*.ma"), scenes));
  EXPECT_EQ(listed, wxT("C:/shots/"));
  EXPECT_EQ(Joined(scenes), wxT("C:\\shots\\a.ma,C:\\shots\\b.ma"));
  scenes.clear();
  // Masks compare with case, as file names do here.
  EXPECT_TRUE(p.Expand(wxT("@x/?.m?"), scenes));
  EXPECT_EQ(Joined(scenes), wxT("x/a.ma,x/b.ma,x/c.mb"));
  // A wildcard needs a folder and a mask.
  EXPECT_FALSE(p.Expand(wxT("@*.ma"), scenes));
  EXPECT_FALSE(p.Expand(wxT("@dir*/"), scenes));
}

TEST(ScenePatternTest, ListsRealFoldersWithoutSubfoldersOrHiddenFiles) {
  TempDir dir;
  for (const char* name : {"one.ma", "tw\xc3\xb6.ma", ".hidden.ma"}) dir.Write(name, "x");
  ASSERT_TRUE(std::filesystem::create_directory(dir.Native("sub.ma")));

  CScenePattern p;
  wxArrayString scenes;
  const wxString folder = dir.Path();
  EXPECT_TRUE(p.Expand(wxT("@") + folder + wxT("/*.ma"), scenes));
  ASSERT_EQ(scenes.size(), 2u);
  EXPECT_EQ(scenes[0], folder + wxT("/one.ma"));
  EXPECT_EQ(scenes[1], folder + wxString::FromUTF8("/tw\xc3\xb6.ma"));
  // A hidden mask finds hidden files.
  scenes.clear();
  EXPECT_TRUE(p.Expand(wxT("@") + folder + wxT("/.*.ma"), scenes));
  ASSERT_EQ(scenes.size(), 1u);
  EXPECT_EQ(scenes[0], folder + wxT("/.hidden.ma"));

  scenes.clear();
  EXPECT_TRUE(p.Expand(wxT("@") + folder + wxT("/missing/*.ma"), scenes));
  EXPECT_TRUE(scenes.empty());
}

}  // namespace
