// Client updates: compares the packages the server announces at the
// challenge with those already installed and hands new ones to the separate
// updater program "KfUpdate.exe". A non-critical update is installed while
// the program waits; a critical one starts the updater in the background,
// leaves a control file from which the updater can run the interrupted command
// again, and refuses the connection. While that updater runs, the program does
// not start. Created for one check and destroyed after it.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

#include "platform/Process.h"

class CConsole;

class CUpdateControl {
 public:
  // The program the check is made for and where it reports.
  struct Host {
    wxString programDir;         // empty: file names are used as they are
    bool sharedInstall = false;  // the program directory is another user's
    CConsole* console = nullptr;  // null: nothing is printed
  };

  explicit CUpdateControl(const Host& host, CProcess& process = CProcess::System());

  // True when the control file names a process that still runs this
  // program directory's updater. A control file that names anything else is
  // stale and is removed.
  bool IsUpdateRunning();
  // The updater's process ID found by the last IsUpdateRunning(), or 0.
  long GetRunningUpdaterId() const { return m_runningId; }
  // Moves a new updater "KfUpdate.tmp" left by the last update onto
  // "KfUpdate.exe". Failures are silent.
  void CleanUpUpdater();
  // Installs what the update information "LIST?PORT" announces and is not
  // installed yet. True when the connection may go on, false when a critical
  // update is pending.
  bool CheckUpdate(const wxString& updateInfo, const wxString& serverHost);

  // What an update information text asks for.
  struct Announcement {
    wxArrayString newPackages;  // keys NAME ":" VERSION, in announced order
    bool critical = false;      // a new package is marked "yes"
    wxString port;              // of the update source on the server's host
  };
  static Announcement ParseUpdateInfo(const wxString& updateInfo, const wxArrayString& installed);

  // The packages listed in "Updates/UpdateList.xss" (none when it is missing).
  wxArrayString ReadInstalledPackages() const;

  // The updater's arguments (argv[0] is its path) and the same as one
  // command line text.
  struct UpdaterCommand {
    wxArrayString argv;
    wxString text;
  };
  UpdaterCommand BuildUpdaterCommand(const wxArrayString& packages, const wxString& server,
                                     bool critical) const;

  // This program's own command line: its path in double quotes, a space and
  // its arguments (quoted where they hold blanks or quotes).
  wxString OwnCommandLine() const;

  wxString GetControlFilePath() const { return ProgramPath(wxT("Temp/UpdControl.xss")); }
  wxString GetUpdateListPath() const { return ProgramPath(wxT("Updates/UpdateList.xss")); }
  wxString GetUpdaterPath() const { return ProgramPath(wxT("KfUpdate.exe")); }
  wxString GetNewUpdaterPath() const { return ProgramPath(wxT("KfUpdate.tmp")); }

  // Set when a critical update asked the application to end.
  bool IsEndRequested() const { return m_endRequested; }

 private:
  bool InstallPackages(const wxArrayString& packages, const wxString& server, bool critical);
  bool WriteControlFile(long updaterId);
  wxString ProgramDir() const;
  wxString ProgramPath(const wxString& name) const;
  void Output(const wxString& text) const;

  const Host m_host;
  CProcess& m_process;
  bool m_endRequested = false;
  long m_runningId = 0;
};
