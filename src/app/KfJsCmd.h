// The application object of the console program: fixes the program folder,
// parses the command line, prints the usage text when the command line is
// rejected or -help is given, and runs the core once. Its exit code is the
// process exit code. No exception leaves it: a failure that nothing below
// handled (out of memory among them) is one error line and exit code -1.
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
  // The framework's own reports would go to stderr.
  void OnUnhandledException() override;
  bool OnExceptionInMainLoop() override;

  CKfJsCore& GetCore() { return m_core; }
  CKfJsCmdLine& GetCmdLine() { return m_cmdLine; }
  int GetExitCode() const { return m_exitCode; }

 private:
  bool Init();
  int Run();
  // Reports the exception being handled as one level-2 line; the run then
  // ends with the failure exit code.
  void ReportException();

  CKfJsCore m_core;
  int m_exitCode = 0;
  CKfJsCmdLine m_cmdLine;
};

wxDECLARE_APP(CKfJsCmd);
