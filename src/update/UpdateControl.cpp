#include "update/UpdateControl.h"

#include <wx/app.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/tokenzr.h>

#include "platform/Console.h"
#include "platform/FileIO.h"
#include "platform/Utf8.h"
#include "settings/ExtendedSettingsScript.h"

namespace {

constexpr int kBuildNumber = 1900;
constexpr int kPrivateFileMode = 0600;

// One argument of this program's command line as the updater reads it back.
wxString QuoteArgument(const wxString& argument) {
  if (!argument.empty() && argument.find_first_of(wxT(" \t\n\"")) == wxString::npos)
    return argument;
  wxString quoted = wxT("\"");
  for (const wxUniChar c : argument) {
    if (c == wxT('"') || c == wxT('\\')) quoted += wxT('\\');
    quoted += c;
  }
  return quoted + wxT("\"");
}

}  // namespace

CUpdateControl::CUpdateControl(const Host& host, CProcess& process)
    : m_host(host), m_process(process) {}

void CUpdateControl::Output(const wxString& text) const {
  if (m_host.console) m_host.console->OutputText(text);
}

wxString CUpdateControl::ProgramDir() const {
  wxString dir = m_host.programDir;
  if (dir.length() > 1 && dir.EndsWith(wxT("/"))) dir.RemoveLast();
  return dir;
}

wxString CUpdateControl::ProgramPath(const wxString& name) const {
  wxString base = m_host.programDir;
  if (!base.empty() && !base.EndsWith(wxT("/"))) base += wxT("/");
  return base + name;
}

bool CUpdateControl::IsUpdateRunning() {
  m_runningId = 0;
  const wxString path = GetControlFilePath();
  if (!wxFileName::FileExists(path)) return false;
  UExtendedSettingsScript control;
  const bool loaded = control.Load(path, UExtendedSettingsScript::kBlock);
  const long id = loaded ? control.GetRootSection().GetInt(wxT("UpdateControl::ProcessID"), 0) : 0;
  // Process IDs are reused: only this program directory's updater counts.
  if (m_process.IsRunning(id) &&
      m_process.GetProgramPaths(id).Index(GetUpdaterPath()) != wxNOT_FOUND) {
    m_runningId = id;
    return true;
  }
  // Left by an update that has ended: it must not block later runs.
  CFileIO::Remove(path);
  return false;
}

void CUpdateControl::CleanUpUpdater() {
  // An installed program is updated by the system's package manager only:
  // nothing found in its folder is ever renamed into a program.
  if (m_host.sharedInstall) return;
  wxLogNull quiet;
  const wxString fresh = GetNewUpdaterPath();
  const wxString updater = GetUpdaterPath();
  if (!wxFileName::FileExists(fresh)) return;
  if (wxFileName::FileExists(updater) && !wxRemoveFile(updater)) return;
  wxRenameFile(fresh, updater, true);
}

wxArrayString CUpdateControl::ReadInstalledPackages() const {
  wxArrayString installed;
  const wxString path = GetUpdateListPath();
  if (!wxFileName::FileExists(path)) return installed;
  UExtendedSettingsScript list;
  // A damaged list still names what it could be read up to.
  list.Load(path, UExtendedSettingsScript::kBlock);
  UXSSSection* section = list.GetRootSection().FindSection(wxT("Updates"));
  if (!section) return installed;
  for (const auto& value : section->GetValues()) {
    const wxString key = value->GetString();
    if (!key.empty()) installed.Add(key);
  }
  return installed;
}

CUpdateControl::Announcement CUpdateControl::ParseUpdateInfo(const wxString& updateInfo,
                                                             const wxArrayString& installed) {
  Announcement result;
  const wxString list = updateInfo.BeforeFirst(wxT('?'));
  result.port = updateInfo.AfterFirst(wxT('?')).BeforeFirst(wxT('?'));

  wxStringTokenizer entries(list, wxT(","), wxTOKEN_STRTOK);
  while (entries.HasMoreTokens()) {
    wxString entry = entries.GetNextToken();
    entry.Trim(true).Trim(false);
    wxArrayString fields = wxStringTokenize(entry, wxT("|"), wxTOKEN_RET_EMPTY_ALL);
    while (fields.size() < 3) fields.Add(wxString());
    // An entry without a name names no package.
    if (fields[0].empty()) continue;
    const wxString key = fields[0] + wxT(":") + fields[1];
    if (installed.Index(key) != wxNOT_FOUND) continue;
    // A package named twice is installed once, and critical when any of its
    // entries says so.
    if (result.newPackages.Index(key) == wxNOT_FOUND) result.newPackages.Add(key);
    if (fields[2].IsSameAs(wxT("yes"), false)) result.critical = true;
  }
  return result;
}

bool CUpdateControl::CheckUpdate(const wxString& updateInfo, const wxString& serverHost) {
  const Announcement announcement = ParseUpdateInfo(updateInfo, ReadInstalledPackages());
  if (announcement.newPackages.empty()) return true;

  wxString names;
  for (const wxString& key : announcement.newPackages) {
    if (!names.empty()) names += wxT(", ");
    names += key.BeforeFirst(wxT(':'));
  }
  if (m_host.sharedInstall) {
    // The program folder belongs to another user: nothing may be started
    // from it or written for the updater there. The package manager updates.
    if (m_host.console)
      m_host.console->OutputLevel(
          CConsole::kLevelWarning,
          wxT("A client update is available (%s); install it with the system's package manager.\n"),
          names);
    return !announcement.critical;
  }
  Output(wxString::Format(wxT("The following update(s) will be installed: %s (%i)\n"), names,
                          static_cast<int>(announcement.newPackages.size())));
  InstallPackages(announcement.newPackages, serverHost + wxT(":") + announcement.port,
                  announcement.critical);
  // A critical update refuses the connection whether or not its updater ran.
  return !announcement.critical;
}

CUpdateControl::UpdaterCommand CUpdateControl::BuildUpdaterCommand(const wxArrayString& packages,
                                                                   const wxString& server,
                                                                   bool critical) const {
  UpdaterCommand command;
  auto add = [&command](const wxString& flag) {
    command.argv.Add(flag);
    command.text += wxT(" ") + flag;
  };
  auto addValue = [&command](const wxString& flag, const wxString& value, bool quoted) {
    command.argv.Add(flag);
    command.argv.Add(value);
    command.text += wxT(" ") + flag + (quoted ? wxT(" \"") + value + wxT("\"") : wxT(" ") + value);
  };

  command.argv.Add(GetUpdaterPath());
  command.text = GetUpdaterPath();
  addValue(wxT("-packages"), wxJoin(packages, wxT(','), wxT('\0')), true);
  addValue(wxT("-srcdir"), ProgramPath(wxT("Updates")), true);
  addValue(wxT("-destdir"), ProgramDir(), true);
  if (!server.empty()) addValue(wxT("-server"), server, true);
  addValue(wxT("-type"), wxT("RemoteController"), false);
  add(wxT("-iscmd"));
  addValue(wxT("-version"), wxString::Format(wxT("%i"), kBuildNumber), false);
  if (critical) {
    addValue(wxT("-wait"), wxString::Format(wxT("%ld"), m_process.GetOwnId()), false);
    addValue(wxT("-controlfile"), GetControlFilePath(), true);
  }
  return command;
}

bool CUpdateControl::InstallPackages(const wxArrayString& packages, const wxString& server,
                                     bool critical) {
  if (packages.empty()) return false;  // nothing to install
  const UpdaterCommand command = BuildUpdaterCommand(packages, server, critical);
  if (!critical) {
    if (m_host.console) m_host.console->OutputNewLines(1);
    if (!m_process.RunAndWait(command.argv)) return false;
    Output(wxT("All updates were installed, back to work...\n\n"));
    CleanUpUpdater();
    return true;
  }
  const long updaterId = m_process.Start(command.argv);
  if (updaterId == 0) return false;
  if (WriteControlFile(updaterId)) {
    // Without an event loop this only marks the request: the refused
    // connection ends the run.
    m_endRequested = true;
    if (wxTheApp) wxTheApp->ExitMainLoop();
  }
  return true;
}

bool CUpdateControl::WriteControlFile(long updaterId) {
  wxLogNull quiet;
  const wxString path = GetControlFilePath();
  const wxString folder = wxFileName(path).GetPath();
  if (!wxFileName::DirExists(folder)) wxFileName::Mkdir(folder, 0777, wxPATH_MKDIR_FULL);
  UExtendedSettingsScript control;
  control.GetRootSection().SetInt(wxT("UpdateControl::ProcessID"), static_cast<int>(updaterId));
  control.GetRootSection().SetString(wxT("UpdateControl::Command"), OwnCommandLine());
  // The command may carry a password (-login user:password): the file is
  // the user's alone, whatever an older file's permissions were.
  wxString text;
  if (!control.FormatText(UExtendedSettingsScript::kBlock, &text)) return false;
  return CFileIO::WriteAtomically(path, utf8text::From(text), kPrivateFileMode, false);
}

wxString CUpdateControl::OwnCommandLine() const {
  wxString line = wxT("\"") + m_process.GetOwnExecutable() + wxT("\"");
  for (const wxString& argument : m_process.GetOwnArguments())
    line += wxT(" ") + QuoteArgument(argument);
  return line;
}
