#include "script/PythonInterpreter.h"

#include <gtest/gtest.h>
#include <locale.h>

#include <string>

#include "ScriptRuntime.h"

namespace {

using PythonInterpreterTest = ScriptTest;

TEST(NormalizeLineEndsTest, EveryLineEndBecomesLfAndTheBlankTailGoes) {
  EXPECT_EQ(CPythonInterpreter::NormalizeLineEnds("a\r\nb\rc\nd"), "a\nb\nc\nd");
  EXPECT_EQ(CPythonInterpreter::NormalizeLineEnds("a\r\n\r\n  \r\n\t\n"), "a");
  // A CR LF pair is one line end, LF CR two.
  EXPECT_EQ(CPythonInterpreter::NormalizeLineEnds("a\n\rb"), "a\n\nb");
  // Blank lines inside the text and indentation stay.
  EXPECT_EQ(CPythonInterpreter::NormalizeLineEnds("if x:\r\n\r\n    y\r\n"), "if x:\n\n    y");
  EXPECT_EQ(CPythonInterpreter::NormalizeLineEnds(""), "");
  EXPECT_EQ(CPythonInterpreter::NormalizeLineEnds("\r\n \r\n"), "");
}

TEST(ReplacePlaceholdersTest, EachPlaceholderNamesItsFolderEverywhere) {
  const std::string text =
      "$(Kilnforge.ScriptPath)|$(Kilnforge.ScriptPathUser)|$(Kilnforge.ScriptPathLib)|"
      "$(Kilnforge.ScriptPathDll)|$(Kilnforge.ScriptPath)|$(Kilnforge.Other)";
  EXPECT_EQ(
      CPythonInterpreter::ReplacePlaceholders(text, wxString::FromUTF8("/opt/kf \xC3\xA4/Python")),
      "/opt/kf \xC3\xA4/Python|/opt/kf \xC3\xA4/Python/Scripts|/opt/kf \xC3\xA4/Python/lib|"
      "/opt/kf \xC3\xA4/Python/Dlls|/opt/kf \xC3\xA4/Python|$(Kilnforge.Other)");
}

TEST_F(PythonInterpreterTest, ProgramFoldersComeFirstOnTheSearchPath) {
  const wxString home = rt.programDir + wxT("/Python");
  EXPECT_EQ(rt.Run("import sys\nKilnforge.ConWriter('|'.join(sys.path[:3]))"),
            home + wxT("|") + home + wxT("/Scripts|") + home + wxT("/lib"));
  EXPECT_EQ(rt.Run("import kfhelper\nKilnforge.ConWriter(kfhelper.answer())"), wxT("42"));
  // The system's standard library is there too.
  EXPECT_EQ(rt.Run("import json\nKilnforge.ConWriter(json.dumps([1]))"), wxT("[1]"));
}

TEST(ScriptLocaleTest, ScriptsUseUtf8AndTheProgramKeepsItsLocale) {
  const std::string before = setlocale(LC_CTYPE, nullptr);
  ScriptRuntime& rt = ScriptRuntime::Get();
  ASSERT_TRUE(rt.started);
  EXPECT_EQ(before, setlocale(LC_CTYPE, nullptr));
  EXPECT_EQ(
      rt.Run("import sys\nKilnforge.ConWriter((sys.flags.utf8_mode, sys.getfilesystemencoding()))"),
      wxT("(1, 'utf-8')"));
}

TEST_F(PythonInterpreterTest, ExecuteAcceptsAnyLineEndsAndKeepsItsNamespace) {
  EXPECT_EQ(rt.Run("def f(x):\r    return x * 2\r\rvalue = f(21)\r\n\r\n   \r\n"), wxT(""));
  EXPECT_EQ(rt.Run("Kilnforge.ConWriter(value)"), wxT("42"));
  EXPECT_TRUE(rt.interpreter.Execute(wxT("text = '\u00e4%s'\r\n")));
  EXPECT_EQ(rt.Run("Kilnforge.ConWriter(text)"), wxString::FromUTF8("\xC3\xA4%s"));
}

TEST_F(PythonInterpreterTest, FailingScriptsReturnFalseAndTheRuntimeGoesOn) {
  rt.interpreter.SetPrintErrors(false);
  EXPECT_EQ(rt.Run("raise ValueError('boom')"), wxT("<failed>"));
  EXPECT_EQ(rt.Run("this is not python"), wxT("<failed>"));
  EXPECT_EQ(rt.Run(std::string("x = 1\0y = 2", 11)), wxT("<failed>"));
  // Asking to exit ends the script, never the program (its forms are the end-to-end test's).
  EXPECT_EQ(rt.Run("import sys\nsys.exit(3)"), wxT("<failed>"));
  rt.interpreter.SetPrintErrors(true);
  EXPECT_EQ(rt.Run("Kilnforge.ConWriter('still here')"), wxT("still here"));
}

TEST_F(PythonInterpreterTest, TheRuntimeStartsOnlyOncePerProcess) {
  CPythonInterpreter second;
  EXPECT_FALSE(second.Execute(wxT("x = 1")));  // not started: nothing runs
  EXPECT_FALSE(second.Initialize());
  EXPECT_FALSE(second.IsInitialized());
  // The first one is untouched.
  EXPECT_EQ(rt.Run("Kilnforge.ConWriter(1)"), wxT("1"));
}

}  // namespace
