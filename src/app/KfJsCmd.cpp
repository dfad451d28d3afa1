#include "app/KfJsCmd.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include <wx/log.h>

#include "app/ProcessArguments.h"
#include "platform/FileIO.h"
#include "platform/ProgramDir.h"
#include "platform/UserFolders.h"
#include "settings/ConfigPrivacy.h"

namespace {

const wxChar kDefaultsFileName[] = wxT("KfRcDefaults.conf");

// Before the application object exists, wxWidgets converts the arguments
// through the locale and warns on stderr about each one it cannot convert.
// The program reads the arguments itself (ReadProcessArguments) and reports
// such an argument on the console; OnInit turns logging back on.
const bool g_startUpLogOff = !wxLog::EnableLogging(false);

}  // namespace

CKfJsCmd::CKfJsCmd() { m_core.SetCmdLine(&m_cmdLine); }

bool CKfJsCmd::OnInit() {
  try {
    return Init();
  } catch (...) {
    ReportException();
  }
  // The run must still end through OnRun, which returns the exit code.
  return true;
}

int CKfJsCmd::OnRun() {
  try {
    return Run();
  } catch (...) {
    ReportException();
  }
  return m_exitCode;
}

int CKfJsCmd::OnExit() {
  try {
    // Before the command line and the script home go: exit handlers of the
    // scripts still use them.
    m_core.FinishScripts();
    m_core.ReleaseStartUp();
  } catch (...) {
    ReportException();
  }
  return m_exitCode;
}

void CKfJsCmd::OnUnhandledException() { ReportException(); }

bool CKfJsCmd::OnExceptionInMainLoop() {
  ReportException();
  return false;
}

void CKfJsCmd::ReportException() {
  m_exitCode = kKfExitFailure;
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
    m_core.OutputLevelText(CConsole::kLevelError, wxString::FromUTF8(what) + wxT("\n"));
  } catch (...) {
    // Even formatting failed: the bare line, straight to the console.
    fputs("ERROR! ", stdout);
    fputs(what, stdout);
    fputs("\n", stdout);
    fflush(stdout);
  }
}

bool CKfJsCmd::Init() {
  wxLog::EnableLogging(true);
  // A reader that goes away early (`KfRcCmd ... | head -1`) must not end the
  // run half-way: what cannot be written is dropped, the command completes
  // and the exit code stays the command's.
  std::signal(SIGPIPE, SIG_IGN);

  const wxString programDir = GetProgramDir();
  if (programDir.empty()) {
    fputs("Fatal error: Unable to get program directory\n", stdout);
    fflush(stdout);
    return false;
  }
  m_core.SetProgramDir(programDir);
  m_core.SetUserFolders(CUserFolders());

  // The user's own defaults may hold a login with its password: one that
  // other users can read is refused before anything is read or sent.
  const wxString userDefaults = CFileIO::JoinPath(m_core.GetUserConfigDir(), kDefaultsFileName);
  if (CConfigPrivacy::ExposesPassword(userDefaults, CConfigPrivacy::kDefaults)) {
    m_core.OutputLevelText(CConsole::kLevelError, CConfigPrivacy::Report(userDefaults));
    m_exitCode = kKfExitFailure;
    return true;
  }

  wxArrayString args;
  size_t invalidArgument = 0;
  if (!ReadProcessArguments(&args, &invalidArgument)) {
    for (int i = 1; i < argc; ++i) args.Add(argv[i]);
  }
  if (invalidArgument != 0) {
    // Nothing of such a command line is used: a guessed decoding would name
    // a scene that does not exist, or send text the server cannot read.
    m_core.OutputLevel(CConsole::kLevelError, wxT("Command-line error:\n%s [argument=%d]\n"),
                       wxString(wxT("The argument is not valid UTF-8 text")),
                       static_cast<int>(invalidArgument));
    m_exitCode = kKfExitFailure;
  } else {
    m_cmdLine.SetArguments(args);
    m_cmdLine.SetDefaultsFile(m_core.GetDataPath(kDefaultsFileName, false));
    m_cmdLine.SetUserDefaultsFile(userDefaults);
    if (!m_cmdLine.Parse()) m_exitCode = kKfExitFailure;
  }
  const wxString userDir = m_cmdLine.GetUserDir();
  m_core.SetUserDir(userDir.empty() ? m_core.GetDefaultUserDir() : userDir);

  if (invalidArgument == 0 && (m_cmdLine.IsHelp() || m_exitCode != 0)) {
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

