#include "app/ExecuteCommand.h"

#include "app/KfJsCore.h"
#include "net/ServerControlSender.h"
#include "net/UserData.h"
#include "platform/StringUtil.h"

namespace {

const wxChar kPoolPrefix[] = wxT("pool:");

}  // namespace

void CExecuteCommand::Run(const wxString& targets, const wxArrayString& commandLine,
                          bool idleOnly) {
  const bool quiet = m_core.IsQuiet();
  m_core.SetQuiet(false);
  Execute(targets, commandLine, idleOnly);
  m_core.SetQuiet(quiet);
}

void CExecuteCommand::Execute(const wxString& targets, const wxArrayString& commandLine,
                              bool idleOnly) {
  if (!m_userData.GetRights().Has(CUserRights::kRemoteExecution)) {
    m_core.Output(wxT("You do not have the proper user right to perform remote execution!\n"));
    return;
  }
  if (targets.empty()) {
    m_core.Output(wxT("No target clients or pools specified!\n"));
    return;
  }
  if (commandLine.IsEmpty()) {
    m_core.Output(wxT("No command-line to execute supplied!\n"));
    return;
  }
  const wxString& command = commandLine[0];
  const wxString arguments = JoinArguments(commandLine);
  for (const wxString& entry : strutil::Split(targets, wxT(';'))) {
    wxString target = entry;
    target.Trim(true).Trim(false);
    if (target.empty()) continue;
    wxString name;
    if (target.StartsWith(kPoolPrefix, &name)) {
      m_sender.ExecuteOnTarget(command, arguments, m_userData.FindPool(name), name, true,
                               idleOnly);
    } else {
      m_sender.ExecuteOnTarget(command, arguments, target, target, false, idleOnly);
    }
  }
}

wxString CExecuteCommand::JoinArguments(const wxArrayString& commandLine) {
  wxString arguments;
  for (size_t i = 1; i < commandLine.GetCount(); ++i) {
    if (i > 1) arguments += wxT(" ");
    const wxString& argument = commandLine[i];
    if (argument.Find(wxT(' ')) != wxNOT_FOUND) {
      arguments += wxT("\"") + argument + wxT("\"");
    } else {
      arguments += argument;
    }
  }
  return arguments;
}
