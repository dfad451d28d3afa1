// One running Python runtime shared by every test of this program: the
// runtime starts once per process. It runs in a temporary program directory
// whose "Python/KfInit.py" imports the host module for the tests' scripts and
// whose "Python/Scripts" holds a module of its own.
#pragma once

#include <gtest/gtest.h>
#include <wx/string.h>

#include <string>

#include "script/PythonInterpreter.h"
#include "../support/RecordingConsole.h"

struct ScriptRuntime {
  static ScriptRuntime& Get();

  // Runs a script and returns what it wrote through the console, or
  // "<failed>" when the script raised.
  wxString Run(const std::string& script);

  wxString programDir;
  RecordingConsole console;
  CPythonInterpreter interpreter;
  bool started = false;

 private:
  ScriptRuntime();
  ~ScriptRuntime();
};

// The base of the tests that run scripts in the shared runtime.
class ScriptTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(rt.started); }
  ScriptRuntime& rt = ScriptRuntime::Get();
};
