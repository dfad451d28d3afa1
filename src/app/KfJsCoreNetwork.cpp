// The network part of the core's run: the user commander, the renderer pool
// and the data manager are started, the connection is made, the one command
// of the command line runs, and everything is torn down again.
#include <wx/filename.h>
#include <wx/log.h>

#include "app/ControlCommands.h"
#include "app/ExecuteCommand.h"
#include "app/KfJsCmdLine.h"
#include "app/KfJsCore.h"
#include "app/ListCommands.h"
#include "app/QueryCommand.h"
#include "app/SubmitCommand.h"
#include "net/NetEngine.h"
#include "netjob/NetJobPacketMsg.h"
#include "net/NwUserCommander.h"
#include "net/ServerControlSender.h"
#include "platform/Machine.h"
#include "rs/RSDataManager_JS.h"
#include "rs/RSDataMsg.h"
#include "rs/RSPool.h"

namespace {

// The one command of a run, in the order the switches take precedence.
enum class Command {
  kSubmit, kExecute, kQuery, kControl, kListPools, kListRenderers, kListCaps, kListParams
};

Command WhichCommand(const CKfJsCmdLine& cmd) {
  if (!cmd.GetExecute().empty()) return Command::kExecute;
  if (!cmd.GetQuery().empty()) return Command::kQuery;
  if (!cmd.GetNetJobControls().empty() || !cmd.GetChunkControls().empty() ||
      !cmd.GetPoolControls().empty()) {
    return Command::kControl;
  }
  if (cmd.IsListPools()) return Command::kListPools;
  if (cmd.IsListRenderers()) return Command::kListRenderers;
  if (cmd.IsListCaps()) return Command::kListCaps;
  if (!cmd.GetParamRenderer().empty()) return Command::kListParams;
  return Command::kSubmit;
}

// What the command reads of the renderer definitions: a warm run reads no
// more of the cache than that. A submission whose renderer comes from a
// preset (or is missing) reads the whole pool; a query and control download
// nothing at all.
void TellPoolNeed(CKfJsCmdLine& cmd, CRSDataManager_JS& manager) {
  using Need = CRSDataManager_JS::Need;
  wxString renderer;
  switch (WhichCommand(cmd)) {
    case Command::kExecute:
    case Command::kListPools:
      manager.SetNeed(Need::kNothing);
      break;
    case Command::kListRenderers:
    case Command::kListCaps:
      manager.SetNeed(Need::kRendererList);
      break;
    case Command::kListParams:
      manager.SetNeed(Need::kOneRenderer, cmd.GetParamRenderer());
      break;
    case Command::kSubmit:
      if (cmd.GetSwitchString(wxT("nj_renderer"), &renderer) && !renderer.empty()) {
        manager.SetNeed(Need::kOneRenderer, renderer);
      }
      break;
    case Command::kQuery:
    case Command::kControl:
      break;
  }
}

}  // namespace

void CKfJsCore::AddMessageClasses() {
  CNetEngine::AddMessageClass(CNetJobPacketMsg::kType, CLASSINFO(CNetJobPacketMsg));
  CNetEngine::AddMessageClass(CRSDataMsg::kType, CLASSINFO(CRSDataMsg));
}

CNwUserCommander::LogonSettings CKfJsCore::GetLogonSettings() const {
  CNwUserCommander::LogonSettings s;
  const COptionServer& server = m_options.GetServer();
  s.serverAddress = server.address;
  s.serverPort = server.port;
  s.userName = server.userName;
  s.password = server.password;
  if (m_cmdLine != nullptr) {
    s.cmdServer = m_cmdLine->GetServer();
    s.cmdLogin = m_cmdLine->IsLoginGiven();
    s.cmdLoginUser = m_cmdLine->GetLoginUser();
    s.cmdLoginPassword = m_cmdLine->GetLoginPassword();
  }
  return s;
}

int CKfJsCore::RunNetwork() {
  Output(wxT("Initializing NUC...\n"));
  AddMessageClasses();
  m_commander = std::make_unique<CNwUserCommander>(this);
  m_commander->SetSettingsSource([this] { return GetLogonSettings(); });
  m_commander->SetUpdateHost(GetUpdateHost());
  m_commander->SetAlias(m_options.GetSettings().alias);
  if (!m_commander->Init()) {
    OutputLevel(kLevelError, wxT("Initializing the NUC failed\n"));
    return kKfExitFailure;
  }

  const wxString poolDir = GetRendererCacheDir();
  if (m_sharedInstall) {
    CUserFolders::MakePrivateDirs(poolDir);
  } else if (!wxFileName::DirExists(poolDir)) {
    wxLogNull quiet;
    wxFileName::Mkdir(poolDir, 0777, wxPATH_MKDIR_FULL);
  }
  if (!m_pool.Init(poolDir)) {
    OutputLevel(kLevelError, wxT("Initializing the renderer pool failed\n"));
    return kKfExitOk;
  }
  // The stamp of the cached definitions, compared with the server's at log-on.
  if (!m_pool.LoadIndex()) m_pool.UpdateIndex = -1;

  if (!m_dataManager.Init(&m_pool) || !m_dataManager.Bind(m_commander.get())) {
    OutputLevel(kLevelError, wxT("Initializing the render system data manager failed\n"));
    return kKfExitOk;
  }
  if (m_cmdLine != nullptr) TellPoolNeed(*m_cmdLine, m_dataManager);
  m_commander->GetJobSubmitter().SetDownloader([this] { return m_dataManager.Download(); });

  OutputNewLines(1);
  OutputRule(wxT('='), kRuleWidth);
  OutputNewLines(1);

  const int result = RunCommand();

  OutputRule(wxT('='), kRuleWidth);
  Output(wxT("Cleaning up...\n"));
  Output(wxT("Shutting down NUC...\n"));
  m_dataManager.Bind(nullptr);
  m_commander->Exit();
  m_commander.reset();
  Output(wxT("Destroying remote controller core...\n"));
  return result;
}

int CKfJsCore::RunCommand() {
  const Command command = WhichCommand(*m_cmdLine);
  Output(wxT("Initialization done, connecting to server...\n"));
  CSubmitCommand submit(*this, *m_commander, *m_cmdLine, m_pool, GetSubmitSettings());
  if (command == Command::kSubmit) return submit.Run();

  // The renderer definitions and the user's data serve neither a query nor control.
  const bool fullData = command != Command::kQuery && command != Command::kControl;
  if (!m_commander->Logon(fullData)) return submit.ReportLogonFailure();
  OutputRule(wxT('='), kRuleWidth);
  Output(wxT("Connection established\n\n"));
  switch (command) {
    case Command::kExecute: RunExecuteCommand(); break;
    case Command::kQuery: RunQueryCommand(); break;
    case Command::kControl: RunControlCommands(); break;
    case Command::kListPools: RunListPoolsCommand(); break;
    case Command::kListRenderers: RunListRenderersCommand(false); break;
    case Command::kListCaps: RunListRenderersCommand(true); break;
    case Command::kListParams: RunListParamsCommand(); break;
    case Command::kSubmit: break;
  }
  OutputNewLines(1);
  OutputRule(wxT('='), kRuleWidth);
  m_commander->Logoff();
  OutputNewLines(1);
  return kKfExitOk;
}

CSubmitCommand::Settings CKfJsCore::GetSubmitSettings() const {
  CSubmitCommand::Settings settings;
  settings.hostName = MachineHostName();
  settings.nameFormat = m_options.GetSettings().netJobNameFormat;
  settings.programDir = m_programDir;
  settings.dataDir = GetDataPath(wxString(), true);
  settings.configFile = GetDataPath(COptionSet::kFileName, false);
  return settings;
}

void CKfJsCore::RunExecuteCommand() {
  CServerControlSender sender(m_commander.get(), &m_commander->GetUserData(), this);
  CExecuteCommand(*this, sender, m_commander->GetUserData())
      .Run(m_cmdLine->GetExecute(), m_cmdLine->GetFreeArgs(), m_cmdLine->IsIdleOnly());
}

void CKfJsCore::RunQueryCommand() {
  const wxString file = m_cmdLine->GetFreeArgCount() > 0 ? m_cmdLine->GetFreeArg(0) : wxString();
  CQueryCommand(*this, CQueryCommand::FromCommander(*m_commander)).Run(m_cmdLine->GetQuery(), file);
}

void CKfJsCore::RunControlCommands() {
  CServerControlSender sender(m_commander.get(), &m_commander->GetUserData(), this);
  CControlCommands(*this, sender)
      .Run(m_cmdLine->GetNetJobControls(), m_cmdLine->GetChunkControls(),
           m_cmdLine->GetPoolControls());
}

void CKfJsCore::RunListPoolsCommand() {
  CListCommands(*this, m_cmdLine->IsCompact(), m_cmdLine->IsSubm())
      .ListPools(m_commander->GetUserData().GetPools());
}

void CKfJsCore::RunListRenderersCommand(bool capabilities) {
  const wxString& group = capabilities ? m_cmdLine->GetCapsGroup() : m_cmdLine->GetRendererGroup();
  CListCommands(*this, m_cmdLine->IsCompact(), m_cmdLine->IsSubm())
      .ListRenderers(m_pool, group, capabilities);
}

void CKfJsCore::RunListParamsCommand() {
  CListCommands(*this, m_cmdLine->IsCompact(), m_cmdLine->IsSubm())
      .ListParams(m_pool, m_cmdLine->GetParamRenderer());
}
