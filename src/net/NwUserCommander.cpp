#include "net/NwUserCommander.h"


#include <cstdlib>

#include "net/BaseSocket.h"
#include "net/ChallengeMsg.h"
#include "net/RequestMsg.h"
#include "net/UserData0Msg.h"
#include "net/UserData1Msg.h"
#include "platform/Console.h"
#include "platform/StringUtil.h"

namespace {

const wxChar* const kIdentifier = wxT("Kilnforge.V2.RemoteController");

// The commander's socket: a plain socket with no behaviour of its own.
class CJobSubmitterSocket : public CBaseSocket {};

template <typename... Args>
void Error(CConsole* console, const wxString& format, Args... args) {
  if (console) console->OutputLevel(CConsole::kLevelError, format, args...);
}

template <typename... Args>
void Print(CConsole* console, const wxString& format, Args... args) {
  if (console) console->Output(format, args...);
}

using strutil::Trimmed;

// The leading decimal number of `text` (0 when there is none).
long LeadingNumber(const wxString& text) {
  return std::strtol(text.utf8_str().data(), nullptr, 10);
}

}  // namespace

CNwUserCommander::CNwUserCommander(CConsole* console) {
  SetConsole(console);
  SetExpectedIdentifier(kIdentifier);
}

CNwUserCommander::~CNwUserCommander() {
  // Here, while OnNotify still reaches this class.
  if (GetSocket() != nullptr) Disconnect(wxT("Socket destroyed"), true);
}

bool CNwUserCommander::Init() {
  if (!m_engine.RegisterAll()) {
    Error(GetConsole(), wxT("Unable to initialize the network engine\n"));
    return false;
  }
  if (!CRemoteConnection::Init(&m_engine)) {
    Error(GetConsole(), wxT("Unable to initialize the remote connection\n"));
    return false;
  }
  if (!m_submitter.Init(this)) {
    Error(GetConsole(), wxT("Unable to initialize the remote controller engine\n"));
    return false;
  }
  return true;
}

void CNwUserCommander::Exit() { m_engine.UnregisterAll(); }

bool CNwUserCommander::Logon(bool downloadRenderers) {
  const LogonSettings s = m_settingsSource ? m_settingsSource() : LogonSettings();
  wxString host = s.serverAddress;
  long port = s.serverPort;
  wxString user = s.userName;
  wxString password = s.password;
  if (!s.cmdServer.empty()) {
    host = Trimmed(s.cmdServer.BeforeFirst(wxT(':')));
    const wxString portText = Trimmed(s.cmdServer.AfterFirst(wxT(':')));
    port = portText.empty() ? kDefaultPort : LeadingNumber(portText);
  }
  if (s.cmdLogin) {
    user = s.cmdLoginUser;
    password = s.cmdLoginPassword;
  }
  if (host.empty() || port < kMinPort || port > kMaxPort) {
    Error(GetConsole(),
          wxT("The remote server has not been properly configured in KfRcCmd.conf\n"));
    return false;
  }
  m_serverHost = host;
  m_serverPort = port;
  if (user.empty()) {
    Error(GetConsole(), wxT("No login has been specified via commandline or KfRcCmd.conf\n"));
    return false;
  }
  if (!m_submitter.Logon(user, password, downloadRenderers)) return false;
  Print(GetConsole(), wxT("Logged on to server %s:%i\n"), m_serverHost,
        static_cast<int>(m_serverPort));
  return true;
}

bool CNwUserCommander::Logoff() {
  m_submitter.Logoff();
  Print(GetConsole(), wxT("Logged off from server\n"));
  return true;
}

bool CNwUserCommander::IsReadyForData() {
  return IsReady() && GetState().Has(CRemoteConnection::kStateUserData0 |
                                     CRemoteConnection::kStateUserData1);
}

bool CNwUserCommander::SendRequest(wxInt32 type, wxInt32 parameter, const wxString& text) {
  std::unique_ptr<CRequestMsg> request = CreateMessage<CRequestMsg>();
  if (request == nullptr) return false;
  request->mode = CRequestMsg::kAnswerWithMessage;
  request->requestedType = type;
  request->parameter = static_cast<wxUint32>(parameter);
  request->text2 = text;
  return Send(std::move(request), false);
}

CNetMsgAckResult CNwUserCommander::RequestAndWait(wxInt32 type, wxInt32 parameter,
                                                  const wxString& text1, const wxString& text2) {
  std::unique_ptr<CRequestMsg> request = CreateMessage<CRequestMsg>();
  if (request != nullptr) {
    request->mode = CRequestMsg::kAnswerWithAck;
    request->requestedType = type;
    request->parameter = static_cast<wxUint32>(parameter);
    request->text1 = text1;
    request->text2 = text2;
  }
  return SendAndWait(std::move(request), CJobSubmitterEngine::kRequestTimeoutMs);
}

std::unique_ptr<CChallengeMsg> CNwUserCommander::CreateChallenge() {
  std::unique_ptr<CChallengeMsg> challenge = CreateMessage<CChallengeMsg>();
  if (challenge != nullptr) {
    challenge->SetIdentifier(kIdentifier);
    challenge->SetVersion(CChallengeMsg::kProtocolVersion);
    challenge->SetUpdateInfo(wxString());
  }
  return challenge;
}

std::unique_ptr<CBaseSocket> CNwUserCommander::CreateSocket() {
  return std::make_unique<CJobSubmitterSocket>();
}

void CNwUserCommander::GetAddress(wxString& host, int& port) {
  host = m_serverHost;
  port = static_cast<int>(m_serverPort);
}

bool CNwUserCommander::RegisterHandlers() {
  GetMsgMap().Register(CUserData0Msg::kType, &CNwUserCommander::OnUserData0);
  GetMsgMap().Register(CUserData1Msg::kType, &CNwUserCommander::OnUserData1);
  return true;
}

void CNwUserCommander::OnNotify(int code, const wxString& /*line*/, long /*value1*/,
                                long /*value2*/, int /*severity*/, bool& /*cancel*/) {
  if (code == kNotifyConnected) {
    m_announced = true;
    Print(GetConsole(), wxT("Network: Connection established to %s\n"), GetHost());
  } else if (code == kNotifyDisconnected || code == kNotifyError) {
    m_userData.Clear();
    // An error ends the connection with both codes: say it once, and only
    // for a connection that was established.
    if (m_announced) Print(GetConsole(), wxT("Network: Disconnected from server\n"));
    m_announced = false;
  }
}

bool CNwUserCommander::CheckUpdate(const wxString& updateInfo) {
  CUpdateControl control(m_updateHost);
  return control.CheckUpdate(updateInfo, GetHost());
}

void CNwUserCommander::OnUserData0(CRemoteConnection* owner, CMsgBase* msg) {
  auto* self = static_cast<CNwUserCommander*>(owner);
  auto* data = dynamic_cast<CUserData0Msg*>(msg);
  if (data == nullptr) return;
  data->ApplyTo(self->m_userData);
  self->GetState().Set(CRemoteConnection::kStateUserData0);
}

void CNwUserCommander::OnUserData1(CRemoteConnection* owner, CMsgBase* msg) {
  auto* self = static_cast<CNwUserCommander*>(owner);
  auto* data = dynamic_cast<CUserData1Msg*>(msg);
  if (data == nullptr) return;
  self->m_userData.SetPools(data->pools);
  self->GetState().Set(CRemoteConnection::kStateUserData1);
}

