#include "app/KfJsCmd.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "app/ProcessArguments.h"
#include "platform/ProgramDir.h"

CKfJsCmd::CKfJsCmd() { m_core.SetCmdLine(&m_cmdLine); }

bool CKfJsCmd::OnInit() {
  try {
    return Init();
  } catch (...) {
    ReportException();
  }
  m_exitCode = kKfExitFailure;
  // The run must still end through OnRun, which returns the exit code.
  return true;
}

int CKfJsCmd::OnRun() {
  try {
    return Run();
  } catch (...) {
    ReportException();
  }
  m_exitCode = kKfExitFailure;
  return m_exitCode;
}

int CKfJsCmd::OnExit() {
  try {
    m_core.ReleaseStartUp();
  } catch (...) {
    ReportException();
    m_exitCode = kKfExitFailure;
  }
  return m_exitCode;
}

void CKfJsCmd::OnUnhandledException() {
  ReportException();
  m_exitCode = kKfExitFailure;
}

bool CKfJsCmd::OnExceptionInMainLoop() {
  ReportException();
  m_exitCode = kKfExitFailure;
  return false;
}

void CKfJsCmd::ReportException() {
  const char* what = "Unexpected failure; the run was stopped.";
  std::string detail;
  try {
    throw;
  } catch (const std::bad_alloc&) {
    what = "Out of memory; the run was stopped.";
  } catch (const std::exception& e) {
    try {
      if (e.what() && *e.what()) {
        detail = std::string("Unexpected failure (") + e.what() + "); the run was stopped.";
        what = detail.c_str();
      }
    } catch (...) {
    }
  } catch (...) {
  }
  try {
    m_core.OutputLevelText(2, wxString::FromUTF8(what) + wxT("\n"));
  } catch (...) {
    // Even formatting failed: the bare line, straight to the console.
    fputs("ERROR! ", stdout);
    fputs(what, stdout);
    fputs("\n", stdout);
    fflush(stdout);
  }
}

bool CKfJsCmd::Init() {
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

int CKfJsCmd::Run() {
  if (m_exitCode != 0) return m_exitCode;
  m_exitCode = m_core.Run();
  m_core.OutputNewLines(1);
  return m_exitCode;
}

