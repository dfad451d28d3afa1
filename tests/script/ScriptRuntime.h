// One running Python runtime shared by every test of this program: the
// runtime starts once per process. It runs in a temporary program directory
// whose "Python/KfInit.py" records what the tests check.
#pragma once

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
