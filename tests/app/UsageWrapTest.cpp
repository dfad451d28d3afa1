#include "app/KfCmdLineSwitches.h"

#include <gtest/gtest.h>

namespace {

wxArrayString Lines(std::initializer_list<wxString> list) {
  wxArrayString a;
  for (const wxString& s : list) a.Add(s);
  return a;
}

TEST(UsageWrapTest, CutsAtTheLastBlankWithinFiftyFiveCharacters) {
  const wxString w54(wxT('w'), 54);
  // Exactly 55 characters stay on one line.
  EXPECT_EQ(CKfCmdLineSwitches::WrapHelp(w54 + wxT("x")), Lines({w54 + wxT("x")}));
  // A blank at position 55 is the cut.
  EXPECT_EQ(CKfCmdLineSwitches::WrapHelp(w54 + wxT(" tail")), Lines({w54, wxT("tail")}));
  // A blank at position 56 does not count: the cut falls on an earlier one.
  const wxString a(wxT('a'), 40), b13(wxT('b'), 13), b14(wxT('b'), 14);
  EXPECT_EQ(CKfCmdLineSwitches::WrapHelp(a + wxT(" ") + b13 + wxT(" cc")),
            Lines({a + wxT(" ") + b13, wxT("cc")}));
  EXPECT_EQ(CKfCmdLineSwitches::WrapHelp(a + wxT(" ") + b14 + wxT(" c")),
            Lines({a, b14 + wxT(" c")}));
  // Exactly 55 characters with a blank among them stay whole too.
  EXPECT_EQ(CKfCmdLineSwitches::WrapHelp(a + wxT(" ") + b14), Lines({a + wxT(" ") + b14}));
}

TEST(UsageWrapTest, WordsLongerThanALineAreCutAfterFiftyFiveCharacters) {
  const wxString longWord(wxT('z'), 130);
  EXPECT_EQ(CKfCmdLineSwitches::WrapHelp(longWord),
            Lines({longWord.Left(55), longWord.Mid(55, 55), longWord.Mid(110)}));
  // Blanks around the text and at the cut are dropped; blank help gives no lines.
  EXPECT_EQ(CKfCmdLineSwitches::WrapHelp(wxT("   short help  ")), Lines({wxT("short help")}));
  EXPECT_TRUE(CKfCmdLineSwitches::WrapHelp(wxT("   ")).IsEmpty());
}

// Groups, repeat marks, hidden switches and the closing lines of the usage
// text are compared whole end to end; no switch of the program has so long a name.
TEST(UsageWrapTest, ANameColumnOf26CharactersOrMoreGetsNoPadding) {
  CKfCmdLineSwitches s;
  s.Add(wxT("a_very_long_switch_name_x"), wxString(wxT('h'), 50) + wxT(" more words"), 3, false);
  EXPECT_NE(s.FormatUsage(false).Find(wxT("  -a_very_long_switch_name_x") + wxString(wxT('h'), 50) +
                                      wxT("\n") + wxString(wxT(' '), 26) + wxT("more words\n\n")),
            wxNOT_FOUND);
}

}  // namespace
