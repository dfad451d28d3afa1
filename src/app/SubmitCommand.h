// The submission of the command line's net job: logs on, builds the net job
// from the defaults, presets and switches, sends it, logs off and turns the
// outcome into the closing report and the exit code. A failed log-on before
// any other command is reported here too, since it is what a submission
// would have reported.
#pragma once

#include <wx/string.h>

class CKfJsCmdLine;
class CKfJsCore;
class CNwUserCommander;
class CRSPool;

class CSubmitCommand {
 public:
  // What the net job takes from the run beyond the command line.
  struct Settings {
    wxString hostName;    // "Unnamed job / HOST"
    wxString nameFormat;  // the configured job name format
    wxString programDir;
    wxString dataDir;     // where presets are looked for
    wxString configFile;  // named in the failure report
  };

  CSubmitCommand(CKfJsCore& core, CNwUserCommander& commander, CKfJsCmdLine& cmdLine,
                 CRSPool& pool, Settings settings);

  // The whole submission; returns the process exit code.
  int Run();
  // Reports the failed log-on that ended another command; returns its exit code.
  int ReportLogonFailure();

 private:
  // The closing report; returns the exit code (the job ID with -retnjid).
  int Report(bool submitted, int newId, int failureCode, const wxString& failureText);

  CKfJsCore& m_core;
  CNwUserCommander& m_commander;
  CKfJsCmdLine& m_cmdLine;
  CRSPool& m_pool;
  Settings m_settings;
};
