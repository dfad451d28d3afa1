#include "net/JobSubmitterEngine.h"

#include <memory>

#include "net/ChallengeMsg.h"
#include "net/LoginMsg.h"
#include "net/NwUserCommander.h"
#include "net/UserData0Msg.h"
#include "net/UserData1Msg.h"
#include "platform/Console.h"

namespace {

template <typename... Args>
void Progress(CConsole* console, const wxString& format, Args... args) {
  if (console) console->Output(format, args...);
}

}  // namespace

CConsole* CJobSubmitterEngine::Console() const {
  return m_commander != nullptr ? m_commander->GetConsole() : nullptr;
}

bool CJobSubmitterEngine::Init(CNwUserCommander* commander) {
  m_commander = commander;
  return true;
}

bool CJobSubmitterEngine::Fail(int code, const wxString& text) {
  m_failureCode = code;
  m_failureText = text;
  return false;
}

bool CJobSubmitterEngine::Logon(const wxString& userName, const wxString& password,
                                bool downloadRenderers) {
  m_userName = userName;
  m_password = password;
  if (m_commander == nullptr) {
    return Fail(kFailConnect,
                wxT("Unable to connect to the remote server.\nMake sure that the server address "
                    "and port are correct."));
  }
  CNwUserCommander& c = *m_commander;
  bool ok = false;
  do {
    Progress(Console(), wxT("Connecting to remote server...\n"));
    if (!c.Connect(true, false)) {
      Fail(kFailConnect,
           wxT("Unable to connect to the remote server.\nMake sure that the server address and "
               "port are correct."));
      break;
    }

    Progress(Console(), wxT("Challenging remote server...\n"));
    if (!c.SendAndWait(c.CreateChallenge(), kRequestTimeoutMs).IsSuccess() || !c.IsReady()) {
      Fail(kFailConnect, wxT("Challenging the target server failed."));
      break;
    }

    Progress(Console(), wxT("Logging in as %s...\n"), userName);
    std::unique_ptr<CLoginMsg> login = c.CreateMessage<CLoginMsg>();
    if (login != nullptr) {
      login->userName = userName;
      login->password = password;
    }
    const CNetMsgAckResult result = c.SendAndWait(std::move(login), kRequestTimeoutMs);
    if (!result.IsSuccess()) {
      Fail(kFailLogin, wxString::Format(wxT("Unable to login (%s)."), result.GetText()));
      break;
    }

    if (downloadRenderers) {
      Progress(Console(), wxT("Downloading renderers...\n"));
      if (!m_downloader || !m_downloader()) {
        Fail(kFailData, wxT("Unable to download the renderers from the server."));
        break;
      }
    }

    Progress(Console(), wxT("Requesting user data...\n"));
    // A request names the type of the message that answers it.
    c.SendRequest(CUserData0Msg::kType, 0, wxString());
    bool haveData = c.WaitForState(CRemoteConnection::kStateUserData0, kRequestTimeoutMs);
    if (haveData) {
      c.SendRequest(CUserData1Msg::kType, 0, wxString());
      haveData = c.WaitForState(CRemoteConnection::kStateUserData1, kRequestTimeoutMs);
    }
    if (!haveData) {
      Fail(kFailData, wxT("Unable to retrieve the necessary user data."));
      break;
    }
    ok = true;
  } while (false);

  if (!ok) c.Disconnect(wxT("Login failed"), true);
  return ok;
}

bool CJobSubmitterEngine::Logoff() {
  if (m_commander != nullptr) m_commander->Disconnect(wxT("Logged off"), true);
  return true;
}
