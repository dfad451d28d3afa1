// Remote execution: runs a command line on render clients and on every
// client of a pool. The targets are the value of -execute, separated by ";"
// ("node01;pool:Main"); the free arguments are the command and its
// arguments. Needs the user's right for remote execution.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

class CKfJsCore;
class CServerControlSender;
class CUserData;

class CExecuteCommand {
 public:
  CExecuteCommand(CKfJsCore& core, CServerControlSender& sender, const CUserData& userData)
      : m_core(core), m_sender(sender), m_userData(userData) {}

  // Checks the right, the targets and the command line, then runs the
  // command on each target in order. The lines show even though the command
  // runs quiet.
  void Run(const wxString& targets, const wxArrayString& commandLine, bool idleOnly);

  // The arguments after the command, joined with blanks; an argument that
  // holds a blank is put in double quotes.
  static wxString JoinArguments(const wxArrayString& commandLine);

 private:
  void Execute(const wxString& targets, const wxArrayString& commandLine, bool idleOnly);

  CKfJsCore& m_core;
  CServerControlSender& m_sender;
  const CUserData& m_userData;
};
