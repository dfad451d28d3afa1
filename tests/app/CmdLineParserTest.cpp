#include "app/CmdLineParser.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "../support/Strings.h"

namespace {

using P = CCmdLineParam;

// A parser with a handful of switches shaped like the program's own.
struct Parser : CCmdLineParser {
  Parser() {
    AddParam(wxT("nj_name"), wxT(""), P::kTypeText, P::kFlagDeclared);
    AddParam(wxT("nj_priority"), wxT(""), P::kTypeInteger, P::kFlagDeclared);
    AddParam(wxT("nj_dependency"), wxT(""), P::kTypeInteger, P::kFlagDeclared | P::kFlagRepeat);
    AddParam(wxT("listrenderers"), wxT(""), P::kTypeText, P::kFlagDeclared | P::kFlagOptional);
    AddParam(wxT("listpools"), wxT(""), P::kTypeNone, P::kFlagDeclared);
    AddParam(wxT("execute"), wxT(""), P::kTypeText, P::kFlagDeclared);
    AddParam(wxT("help"), wxT(""), P::kTypeNone, P::kFlagDeclared);
  }
  // A parser that has parsed `args`, which must succeed.
  explicit Parser(const std::vector<const char*>& args) : Parser() {
    EXPECT_TRUE(ParseArgs(args)) << GetCommandLine();
  }
  bool ParseArgs(const std::vector<const char*>& args) {
    SetArguments(Strings(args));
    return Parse(wxString());
  }
  wxArrayString Values(const char* name) const {
    return FindParam(wxString::FromUTF8(name))->GetValues();
  }
};

TEST(CmdLineParserTest, RebuildEscapesQuotesOfPlainArgumentsAndQuotesBlanksAndInnerDashes) {
  EXPECT_EQ(CCmdLineParser().RebuildCommandLine(
                Strings({"-nj_name=My Job", "", "a\"b'c.max", "my-scene.max", "-x", "-5", "t\tu"})),
            wxString::FromUTF8("-nj_name \"My Job\" a@(^Q^)b@(^S^)c.max \"my-scene.max\" -x -5 "
                               "\"t\tu\""));
  // Switch arguments keep their quotes: only plain arguments are escaped.
  EXPECT_EQ(CCmdLineParser().RebuildCommandLine(Strings({"-a=\"q\"", "-b\"c"})),
            wxT("-a \"q\" -b\"c"));
}

TEST(CmdLineParserTest, ArgumentsWithBlanksQuotesAndApostrophesSurviveAsOneFreeArgument) {
  Parser p({"/scenes/my scene.max", "it's \"big\".max", "-nj_name=My Job - final", "/a b/c-d.max",
            "x'y.max"});
  EXPECT_EQ(p.Values("nj_name"), Strings({"My Job - final"}));
  // Only what follows the last switch counts.
  EXPECT_EQ(p.GetFreeArgs(), Strings({"/a b/c-d.max", "x'y.max"}));

  Parser q({"-help", "/scenes/my scene.max", "it's \"big\".max", "ä ö.max"});
  EXPECT_EQ(q.GetFreeArgs(), Strings({"/scenes/my scene.max", "it's \"big\".max", "ä ö.max"}));
}

TEST(CmdLineParserTest, NegativeNumbersAndDashValuesAreValues) {
  Parser p({"-nj_priority", "-5", "-nj_name", "-weird", "scene.max"});
  EXPECT_EQ(p.GetParamLong(wxT("nj_priority"), 0), -5);
  EXPECT_EQ(p.GetParamString(wxT("nj_name"), wxT("")), wxT("-weird"));
  EXPECT_EQ(p.GetFreeArgs(), Strings({"scene.max"}));
}

TEST(CmdLineParserTest, OptionalValueFollowedByDeclaredSwitchIsEmpty) {
  Parser p({"-listrenderers", "-listpools", "scene.max"});
  EXPECT_TRUE(p.Found(wxT("listrenderers")));
  EXPECT_EQ(p.GetParamString(wxT("listrenderers"), wxT("x")), wxT(""));
  EXPECT_TRUE(p.Found(wxT("listpools")));
  EXPECT_EQ(p.GetFreeArgs(), Strings({"scene.max"}));

  // A dash word that names no switch is the value itself; a plain word too.
  Parser q({"-listrenderers", "-maxgroup"});
  EXPECT_EQ(q.GetParamString(wxT("listrenderers"), wxT("")), wxT("-maxgroup"));
  Parser r({"-listrenderers", "Max", "-help"});
  EXPECT_EQ(r.GetParamString(wxT("listrenderers"), wxT("")), wxT("Max"));
  // As the last word it is found without a value.
  Parser s({"-listrenderers"});
  EXPECT_TRUE(s.Found(wxT("listrenderers")));
}

TEST(CmdLineParserTest, ExecuteEndsTheScan) {
  Parser p({"-execute", "shutdown -r now", "-nj_priority", "3", "Pool A", "x"});
  EXPECT_EQ(p.GetParamString(wxT("execute"), wxT("")), wxT("shutdown -r now"));
  EXPECT_FALSE(p.Found(wxT("nj_priority")));
  EXPECT_EQ(p.GetFreeArgs(), Strings({"-nj_priority", "3", "Pool A", "x"}));

  // Only the exact lower-case name ends it.
  Parser q({"-EXECUTE", "cmd", "-nj_priority", "3"});
  EXPECT_EQ(q.GetParamString(wxT("execute"), wxT("")), wxT("cmd"));
  EXPECT_TRUE(q.Found(wxT("nj_priority")));
}

// That "--name" is "-name", known or not, is the end-to-end tests'.
TEST(CmdLineParserTest, DoubleDashSwitchesAreTheOneDashSwitchesExceptInTheRemoteCommand) {
  // The value of a switch that needs one is taken as given; "--" not
  // followed by a letter stays what it was.
  Parser q({"-nj_name", "--fast", "-listrenderers", "--listpools", "--", "x--y.max"});
  EXPECT_EQ(q.GetParamString(wxT("nj_name"), wxT("")), wxT("--fast"));
  EXPECT_EQ(q.GetParamString(wxT("listrenderers"), wxT("x")), wxT(""));
  EXPECT_TRUE(q.Found(wxT("listpools")));
  EXPECT_EQ(q.GetFreeArgs(), Strings({"--", "x--y.max"}));

  // After -execute (however spelled) the remote command is sent as given.
  Parser r({"--execute", "n1", "ls", "--all", "--help"});
  EXPECT_EQ(r.GetParamString(wxT("execute"), wxT("")), wxT("n1"));
  EXPECT_FALSE(r.Found(wxT("help")));
  EXPECT_EQ(r.GetFreeArgs(), Strings({"ls", "--all", "--help"}));
}

TEST(CmdLineParserTest, EmptyArgumentAfterAValueSwitchIsItsValue) {
  // The empty name is rejected instead of swallowing the next switch.
  EXPECT_FALSE(Parser().ParseArgs({"-nj_name", "", "-listpools", "a.blend"}));
  EXPECT_FALSE(Parser().ParseArgs({"--nj_priority", "", "a.blend"}));

  // Where an empty value is allowed, it is taken and the next switch read.
  Parser p({"-listrenderers", "", "-nj_name", "N", "", "a.blend", "", "b.blend"});
  EXPECT_TRUE(p.Found(wxT("listrenderers")));
  EXPECT_EQ(p.GetParamString(wxT("listrenderers"), wxT("x")), wxT(""));
  EXPECT_EQ(p.GetParamString(wxT("nj_name"), wxT("")), wxT("N"));
  // Elsewhere empty arguments are dropped: after a value, a flag, a scene.
  EXPECT_EQ(p.GetFreeArgs(), Strings({"a.blend", "b.blend"}));
  Parser q({"-listpools", "", "a.blend", "-execute", "n1", "", "ls"});
  EXPECT_TRUE(q.Found(wxT("listpools")));
  EXPECT_EQ(q.GetFreeArgs(), Strings({"ls"}));
}

TEST(CmdLineParserTest, ManyUnknownSwitchesAreLookedUpByName) {
  // Each switch is found by its name, whatever its case, among thousands.
  wxArrayString args;
  for (int i = 0; i < 5000; ++i) args.Add(wxString::Format(wxT("-Setting%d=%d"), i, i));
  args.Add(wxT("scene.max"));
  Parser p;
  p.SetArguments(args);
  ASSERT_TRUE(p.Parse(wxString()));
  EXPECT_EQ(p.GetParams().size(), 7u + 5000u);
  EXPECT_EQ(p.GetParamString(wxT("SETTING4321"), wxT("")), wxT("4321"));
  EXPECT_EQ(p.AddParam(wxT("setting17"), wxT(""), P::kTypeNone, 0), p.FindParam(wxT("Setting17")));
  EXPECT_EQ(p.GetFreeArgs(), Strings({"scene.max"}));
}

TEST(CmdLineParserTest, RepeatsAreAcceptedOnlyWhereAllowed) {
  Parser p({"-nj_dependency", "4", "-NJ_DEPENDENCY=5", "s"});
  EXPECT_EQ(p.Values("nj_dependency"), Strings({"4", "5"}));

  EXPECT_FALSE(Parser().ParseArgs({"-nj_priority", "4", "-nj_priority", "5", "s"}));
  EXPECT_FALSE(Parser().ParseArgs({"-help", "-help"}));
}

TEST(CmdLineParserTest, ValuesAreValidatedByType) {
  EXPECT_FALSE(Parser().ParseArgs({"-nj_priority", "12x"}));
  EXPECT_FALSE(Parser().ParseArgs({"-nj_priority", "99999999999"}));
  EXPECT_FALSE(Parser().ParseArgs({"-nj_priority"}));  // a required value missing
  EXPECT_FALSE(Parser().ParseArgs({"-nj_name="}));

  CCmdLineParser p;
  p.AddParam(wxT("r"), wxT(""), P::kTypeReal, P::kFlagRepeat);
  p.AddParam(wxT("b"), wxT(""), P::kTypeBool, P::kFlagRepeat);
  p.AddParam(wxT("f"), wxT(""), P::kTypeNone, 0);
  EXPECT_TRUE(p.AddParamValue(wxT("r"), wxT("1.5e3")));
  EXPECT_FALSE(p.AddParamValue(wxT("r"), wxT("1,5")));
  EXPECT_TRUE(p.AddParamValue(wxT("b"), wxT("YES")));
  EXPECT_FALSE(p.AddParamValue(wxT("b"), wxT("maybe")));
  EXPECT_FALSE(p.AddParamValue(wxT("f"), wxT("x")));
  EXPECT_FALSE(p.AddParamValue(wxT("missing"), wxT("x")));
  EXPECT_TRUE(p.GetParamBool(wxT("b"), false));
  EXPECT_TRUE(p.GetParamBool(wxT("nothing"), true));
}

// Names of declared switches in any case are the end-to-end tests' and the
// lookup among many names above.
TEST(CmdLineParserTest, NamesCompareWithoutCaseInLettersBeyondAscii) {
  // One render setting, two values.
  Parser q({"-Qualit\xC3\xA4t", "hoch", "-QUALIT\xC3\x84T", "tief"});
  EXPECT_EQ(q.GetParams().size(), 8u);
  EXPECT_EQ(q.FindParam(wxString::FromUTF8("qualit\xC3\xA4t"))->GetValues(),
            Strings({"hoch", "tief"}));
}

TEST(CmdLineParserTest, UndeclaredSwitchesAreDeclaredOnTheFly) {
  Parser p({"-width", "640", "-offset", "-3", "-aa", "-gi=on", "-Gi", "off", "scene.max", "-last"});
  const CCmdLineParam* width = p.FindParam(wxT("width"));
  ASSERT_NE(width, nullptr);
  EXPECT_EQ(width->GetValueType(), P::kTypeText);
  EXPECT_EQ(p.GetParamString(wxT("width"), wxT("")), wxT("640"));
  EXPECT_EQ(p.GetParamString(wxT("offset"), wxT("")), wxT("-3"));
  EXPECT_EQ(p.FindParam(wxT("aa"))->GetValueType(), P::kTypeNone);
  EXPECT_TRUE(p.Found(wxT("aa")));
  EXPECT_EQ(p.Values("gi"), Strings({"on", "off"}));
  // The last word is a flag, and the scene before it is no free argument.
  EXPECT_EQ(p.FindParam(wxT("last"))->GetValueType(), P::kTypeNone);
  EXPECT_TRUE(p.Found(wxT("last")));
  EXPECT_EQ(p.GetFreeArgCount(), 0u);
  // Declaration order: the table first, then in command-line order.
  EXPECT_EQ(p.GetParams()[7]->GetName(), wxT("width"));
  EXPECT_EQ(p.GetParams().back()->GetName(), wxT("last"));
}

TEST(CmdLineParserTest, ScansGivenTextAndSplitsFreeArgumentsAtBlanksOutsideQuotes) {
  Parser p;
  ASSERT_TRUE(p.Parse(wxT("a -nj_name \"x y\"  b \"c d\"e  @(^S^)f@(^Q^) ")));
  EXPECT_EQ(p.GetCommandLine(), wxT("a -nj_name \"x y\"  b \"c d\"e  @(^S^)f@(^Q^) "));
  EXPECT_EQ(p.GetParamString(wxT("nj_name"), wxT("")), wxT("x y"));
  // Blanks between arguments that are not the last give empty arguments.
  EXPECT_EQ(p.GetFreeArgs(), Strings({"b", "c de", "", "'f\""}));
}

TEST(CmdLineParserTest, ArbitraryArgumentsScanAndPlainOnesComeBackUnchanged) {
  // Quotes, dashes, blanks and tabs in every combination: the scan always
  // ends, and when no argument is a switch every one comes back trimmed.
  const wchar_t alphabet[] = L" -\"'=\t@(Q)5ax";
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    wxArrayString args, expected;
    bool plain = true;
    const int count = static_cast<int>(random() % 6);
    for (int a = 0; a < count; ++a) {
      wxString arg;
      const int length = static_cast<int>(random() % 9);
      for (int c = 0; c < length; ++c)
        arg += alphabet[random() % (sizeof alphabet / sizeof *alphabet - 1)];
      args.Add(arg);
      if (arg.StartsWith(wxT("-"))) plain = false;
      if (!arg.empty()) expected.Add(wxString(arg).Trim(true).Trim(false));
    }
    // An empty last piece is not an argument.
    if (!expected.IsEmpty() && expected.Last().empty()) expected.RemoveAt(expected.GetCount() - 1);
    Parser p;
    p.SetArguments(args);
    const bool ok = p.Parse(wxString());
    if (plain) {
      ASSERT_TRUE(ok);
      ASSERT_EQ(p.GetFreeArgs(), expected) << p.GetCommandLine();
    }
  }
}

}  // namespace
