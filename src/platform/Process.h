// Starting other programs and looking at processes: the program's own ID,
// path and arguments, whether a process still runs, and starting a program
// with or without waiting for it. The base class talks to the system; tests
// derive from it to record or refuse starts.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

class CProcess {
 public:
  CProcess() = default;
  virtual ~CProcess() = default;

  // The system's processes.
  static CProcess& System();

  // Programs are started in a session of their own with /dev/null for their
  // standard streams.
  // Runs the program argv[0] with the remaining arguments and waits until it
  // ends. False only when it could not be run at all.
  virtual bool RunAndWait(const wxArrayString& argv);
  // Starts the program without waiting; its process ID, or 0 on failure.
  virtual long Start(const wxArrayString& argv);

  virtual long GetOwnId() const;
  // Full path of this program's file, links resolved.
  virtual wxString GetOwnExecutable() const;
  // This program's arguments, without the program name.
  virtual wxArrayString GetOwnArguments() const;

  // True when a process with this ID exists and this program may signal it.
  virtual bool IsRunning(long pid) const;
  // What a running process executes: its executable and, for a script run
  // through its interpreter, the arguments that may name the script. Empty
  // when the process is unknown or not this user's to inspect.
  virtual wxArrayString GetProgramPaths(long pid) const;
};
