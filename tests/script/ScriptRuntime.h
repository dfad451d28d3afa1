// One running Python runtime shared by every test of this program: the
// runtime starts once per process. It runs in a temporary program directory
// whose "Python/KfInit.py" records what the tests check.
#pragma once

#include <wx/string.h>

#include <string>

#include "app/KfJsCore.h"
#include "script/PythonInterpreter.h"

struct ScriptRuntime {
  static ScriptRuntime& Get();

  // Runs a script and returns what it wrote through the core's ordinary
  // output (console sink), or "<failed>" when the script raised.
  wxString Run(const std::string& script);

  wxString programDir;
  CKfJsCore core;
  CPythonInterpreter interpreter;
  wxString console;
  wxString log;
  bool started = false;

 private:
  ScriptRuntime();
  ~ScriptRuntime();
};
