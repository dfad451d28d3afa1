#include "app/KfJsCmd.h"

#include <cstdio>

#include "app/ProcessArguments.h"
#include "platform/ProgramDir.h"

CKfJsCmd::CKfJsCmd() { m_core.SetCmdLine(&m_cmdLine); }

bool CKfJsCmd::OnInit() {
  const wxString programDir = GetProgramDir();
  if (programDir.empty()) {
    fputs("Fatal error: Unable to get program directory\n", stdout);
    fflush(stdout);
    return false;
  }
  m_core.SetProgramDir(programDir);

  wxArrayString args;
  if (!ReadProcessArguments(&args)) {
    for (int i = 1; i < argc; ++i) args.Add(argv[i]);
  }
  m_cmdLine.SetArguments(args);
  m_cmdLine.SetDefaultsFile(m_core.GetDataPath(wxT("KfRcDefaults.conf"), false));
  if (!m_cmdLine.Parse()) m_exitCode = kKfExitFailure;
  m_core.SetUserDir(m_cmdLine.GetUserDir());

  if (m_cmdLine.IsHelp() || m_exitCode != 0) {
    m_cmdLine.PrintUsage();
    m_cmdLine.CheckSwitches();
    m_exitCode = kKfExitFailure;
  }

  // Start-up checks that need no command: a running update stops the run;
  // the interpreter learns where its scripts live.
  if (!m_core.StartUpChecks()) m_exitCode = kKfExitFailure;
  return true;
}

int CKfJsCmd::OnRun() {
  if (m_exitCode != 0) return m_exitCode;
  m_exitCode = m_core.Run();
  m_core.OutputNewLines(1);
  return m_exitCode;
}

int CKfJsCmd::OnExit() {
  // Before the command line and the script home go: exit handlers of the
  // scripts still use them.
  m_core.FinishScripts();
  m_core.ReleaseStartUp();
  return m_exitCode;
}
