#include "script/PyModule_Kilnforge.h"

#include <gtest/gtest.h>

#include "ScriptRuntime.h"

namespace {

using KilnforgeModuleTest = ScriptTest;

TEST_F(KilnforgeModuleTest, ModuleDocumentationFunctionsAndConstants) {
  EXPECT_EQ(
      rt.Run(
          "import Kilnforge as k\n"
          "k.ConWriter(k.__doc__ + '|' + k.ConWriter.__doc__ + '|' + k.GetBuildNumber.__doc__"
          " + '|' + k.GetDirectory.__doc__ + '|' + k.GetTempDir.__doc__"
          " + '|' + k.LogEvent.__doc__)"),
      wxT("Core Kilnforge V2 module|Console writer for Kilnforge V2 (for internal use only)|"
          "Returns the build number of Kilnforge V2|Returns the main directory of Kilnforge V2|"
          "Returns the temporary directory of Kilnforge V2|Adds a new event log entry"));
  EXPECT_EQ(
      rt.Run("import Kilnforge as k\n"
             "k.ConWriter((k.msgNotice, k.msgInfo, k.msgWarning, k.msgError, k.GetBuildNumber()))"),
      wxT("(0, 1, 3, 4, 1900)"));
}

TEST_F(KilnforgeModuleTest, WrongArgumentCountsRaiseIndexErrorInsideTheScript) {
  const char* calls[] = {"ConWriter()", "ConWriter(1, 2)", "GetBuildNumber(1)", "GetDirectory('x')",
                         "GetTempDir(1)", "LogEvent('only')", "LogEvent('a', 0, 1)"};
  for (const char* call : calls) {
    SCOPED_TRACE(call);
    EXPECT_EQ(rt.Run(std::string("try:\n    Kilnforge.") + call +
                     "\nexcept IndexError as e:\n    Kilnforge.ConWriter(str(e))"),
              wxT("Unexpected SeqBase<T> length."));
  }
}

// Text with format characters and the prefixes of warnings and errors are the
// end-to-end tests'.
TEST_F(KilnforgeModuleTest, TextIsWrittenUnchangedThroughTheCore) {
  EXPECT_EQ(rt.Run("Kilnforge.ConWriter('Gr\\u00fc\\u00dfe')"), wxT("Gr\u00fc\u00dfe"));
  // Strings that cannot be encoded are written with a replacement, not refused.
  EXPECT_EQ(rt.Run("Kilnforge.ConWriter('a\\udcffb')"), wxT("a?b"));
  EXPECT_EQ(rt.Run("Kilnforge.ConWriter(None)"), wxT("None"));
}

TEST_F(KilnforgeModuleTest, LogEventLevelsFollowTheEventType) {
  EXPECT_EQ(
      rt.Run(
          "Kilnforge.LogEvent('n', 0)\nKilnforge.LogEvent('i', 1)\nKilnforge.LogEvent('o', 99)\n"
          "Kilnforge.LogEvent('b', 2**80)\nKilnforge.LogEvent('f', 3.0)\n"
          "Kilnforge.LogEvent(5, -1)"),
      wxT("niobWARNING! f5"));
  EXPECT_EQ(rt.Run("try:\n    Kilnforge.LogEvent('x', 'warning')\n"
                   "except TypeError:\n    Kilnforge.ConWriter('type error')"),
            wxT("type error"));
}

TEST_F(KilnforgeModuleTest, FailuresOfTheArgumentsStayInsideTheScript) {
  EXPECT_EQ(
      rt.Run(
          "class Bad:\n    def __str__(self):\n        raise KeyError('no text')\n"
          "try:\n    Kilnforge.ConWriter(Bad())\n"
          "except KeyError:\n    Kilnforge.ConWriter('caught')"),
      wxT("caught"));
  EXPECT_EQ(
      rt.Run(
          "try:\n    Kilnforge.GetBuildNumber(x=1)\n"
          "except TypeError:\n    Kilnforge.ConWriter('kw')"),
      wxT("kw"));
}

}  // namespace
