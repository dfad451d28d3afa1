// The application object of the console program: fixes the program folder,
// parses the command line, prints the usage text when the command line is
// rejected or -help is given, and runs the core once. Its exit code is the
// process exit code.
#pragma once

#include <wx/app.h>

#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"

class CKfJsCmd : public wxAppConsole {
 public:
  CKfJsCmd();

  // Never calls the base OnInit: the framework's own command-line parser
  // must not see the program's switches.
  bool OnInit() override;
  int OnRun() override;
  int OnExit() override;

  CKfJsCore& GetCore() { return m_core; }
  CKfJsCmdLine& GetCmdLine() { return m_cmdLine; }
  int GetExitCode() const { return m_exitCode; }

 private:
  CKfJsCore m_core;
  int m_exitCode = 0;
  CKfJsCmdLine m_cmdLine;
};

wxDECLARE_APP(CKfJsCmd);
