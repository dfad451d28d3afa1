// The run of the core: start-up of the components in their order, the
// command, and the tear-down in reverse order.
#include <wx/filename.h>
#include <wx/log.h>

#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"
#include "app/Version.h"
#include "platform/FileIO.h"
#include "settings/ConfigPrivacy.h"
#include "settings/ProgramEnvironment.h"
#include "update/UpdateControl.h"

namespace {

const wxChar kLogFileName[] = wxT("KfRcCmd.log");
const wxChar kWorkFolders[][16] = {wxT("Temp"), wxT("Updates"), wxT("Presets/NetJobs")};

// Creates a folder with its missing parents; failures are silent.
void MakeFolders(const wxString& path) {
  if (path.empty() || wxFileName::DirExists(path)) return;
  wxLogNull quiet;
  wxFileName::Mkdir(path, 0777, wxPATH_MKDIR_FULL);
}

}  // namespace

bool CKfJsCore::StartUpChecks() {
  // While the updater installs a critical update the program does not start;
  // otherwise a new updater it left behind takes the old one's place.
  CUpdateControl update(GetUpdateHost());
  const bool updating = update.IsUpdateRunning();
  if (updating) {
    OutputLevel(kLevelError,
                wxT("A client update is running (process %ld); try again when it has finished.\n"),
                update.GetRunningUpdaterId());
  } else {
    update.CleanUpUpdater();
  }
  m_interpreter.SetPythonHome(GetDataPath(wxT("Python"), false));
  return !updating;
}

void CKfJsCore::ReleaseStartUp() { m_interpreter.SetPythonHome(wxString()); }

int CKfJsCore::Run() {
  if (!m_cmdLine) return kKfExitFailure;
  OpenLogAndFolders();
  RegisterProgramDir(m_programDir);

  m_interpreter.SetHost(GetScriptHost());
  // A run executes no Python but the site's initialisation script: without
  // one the runtime stays unstarted, which is most of a run's start-up time.
  if (m_interpreter.HasInitScript() && !m_interpreter.Initialize()) {
    // Exit 0 would tell a script that the run succeeded.
    OutputLevel(kLevelError, wxT("The Python runtime could not be started\n"));
    return kKfExitFailure;
  }

  if (m_cmdLine->IsCompact()) SetQuiet(true);
  PrintBanner();
  HandleEnvironmentSwitch();
  if (m_cmdLine->IsConnectionFree()) return kKfExitOk;

  if (!PrepareConfiguration()) {
    OutputLevel(kLevelError, wxT("Preparing the remote controller failed\n"));
    return kKfExitFailure;
  }
  if (!InitializeCore()) {
    OutputLevel(kLevelError, wxT("Initializing the remote controller core failed\n"));
    return kKfExitFailure;
  }
  LoadEnvironmentFile(m_programDir);
  return RunNetwork();
}

void CKfJsCore::OpenLogAndFolders() {
  // A user folder named for the first time is created before the log opens
  // in it, so that -log writes a transcript on the first run too.
  MakeUserDir();
  m_logFile.OpenPath(GetDataPath(kLogFileName, true));
  if (m_cmdLine->IsLog()) SetLogSink(m_logFile.Sink());
  for (const wxChar* folder : kWorkFolders) MakeFolders(GetDataPath(folder, true));
}

void CKfJsCore::PrintBanner() {
  Output(wxT("%s - %s\n"), wxString(wxT(KF_PRODUCT_NAME)), wxString(wxT(KF_NOTICE_LINE)));
  Output(wxT("Version %i.%i.%i.%i (Built: %s)\n"), kKfVersionMajor, kKfVersionMinor,
         kKfVersionRelease, kKfVersionBuild, wxString(wxT(KF_BUILD_DATE)));
  OutputRule(wxT('='), kRuleWidth);
  OutputNewLines(1);
}

bool CKfJsCore::HandleEnvironmentSwitch() {
  const CKfJsCmdLine& cmd = *m_cmdLine;
  bool handled = false;
  if (cmd.GetEnvCommand() == wxT("register")) {
    RegisterProgramDir(m_programDir);
    handled = true;
  } else if (cmd.GetEnvCommand() == wxT("unregister")) {
    UnregisterProgramDir();
    handled = true;
  }
  // The list, query, control and execute commands show only their results.
  const bool command = cmd.IsListPools() || cmd.IsListRenderers() || cmd.IsListCaps() ||
                       !cmd.GetParamRenderer().empty() || !cmd.GetQuery().empty() ||
                       !cmd.GetNetJobControls().empty() || !cmd.GetChunkControls().empty() ||
                       !cmd.GetPoolControls().empty() || !cmd.GetExecute().empty();
  if (command) {
    SetQuiet(true);
  } else if (!handled && cmd.GetFreeArgCount() == 0) {
    OutputLevel(kLevelError, wxT("No source/scene files were specified\n"));
  }
  return handled;
}

bool CKfJsCore::PrepareConfiguration() {
  Output(wxT("Preparing remote controller...\n"));
  const wxString path = GetDataPath(COptionSet::kFileName, false);
  const wxString userPath = CFileIO::JoinPath(m_userConfigDir, COptionSet::kFileName);
  // The user's own file may hold the password: refused, before anything is
  // sent, while others can read it.
  if (CConfigPrivacy::ExposesPassword(userPath, CConfigPrivacy::kCoreConfiguration)) {
    OutputLevelText(kLevelError, CConfigPrivacy::Report(userPath));
    return false;
  }
  const bool missing = !CFileIO::Exists(path);
  bool loaded = m_options.Load(path);
  // An installed program may leave the whole configuration to the user.
  if (!loaded && missing && CFileIO::IsFile(userPath)) loaded = m_options.LoadOver(userPath);
  if (loaded) {
    // Keys of the user's own file win over the program directory's.
    if (CFileIO::IsFile(userPath)) m_options.LoadOver(userPath);
    return true;
  }
  OutputLevel(kLevelError, wxT("The core configuration could not be loaded\n"));
  // Only a missing file is written with defaults, which the next run finds
  // to edit. One that exists and cannot be read (a folder, a file the user
  // may not read) is the administrator's: it is never replaced.
  if (missing) {
    m_options.SetDefaults();
    m_options.Save();
  }
  return false;
}

bool CKfJsCore::InitializeCore() {
  Output(wxT("Initializing remote controller core...\n"));
  return true;
}
