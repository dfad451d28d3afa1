#include "net/RemoteConnection.h"

#include "platform/Console.h"
#include "net/BaseSocket.h"
#include "net/ChallengeMsg.h"
#include "net/MsgAckMsg.h"
#include "net/NetEngine.h"
#include "net/OppositeInfoMsg.h"
#include "net/RequestMsg.h"
#include "platform/Clock.h"
#include "platform/Machine.h"
#include "platform/StringUtil.h"
#include "platform/UniqueCast.h"
#include "settings/Event.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// A peer's challenge of a version below this is answered unframed.
constexpr wxInt32 kFirstFramedVersion = 30;
// How long a refused peer challenge is held before the outcome is handled.
constexpr wxUint32 kRefusalPauseMs = 500;

// A socket error text fit for one status line.
wxString CleanErrorText(wxString text) {
  text.Replace(wxT("\r"), wxEmptyString);
  text.Replace(wxT("\n"), wxT(" "));
  return strutil::Trimmed(text);
}

// Update information carried as an acknowledgement's data bytes; a trailing
// zero byte is not part of it.
wxString UpdateInfoFromData(const CMemoryStream& data) {
  const char* bytes = reinterpret_cast<const char*>(data.Data());
  size_t length = data.Size();
  const void* zero = length ? std::memchr(bytes, 0, length) : nullptr;
  if (zero) length = static_cast<const char*>(zero) - bytes;
  return TextFromWire(bytes, length);
}

}  // namespace

CRemoteConnection::CRemoteConnection() { m_msgMap.SetOwner(this); }

CRemoteConnection::~CRemoteConnection() {
  if (m_socket) Disconnect(wxT("Socket destroyed"), true);
  // Normally gone already; a wait can no longer be inside it. Destroyed here,
  // while the rest of the connection still stands.
  m_socket.reset();
}

bool CRemoteConnection::Init(CNetEngine* engine) {
  m_engine = engine;
  m_msgMap.SetOwner(this);
  m_msgMap.Register(CChallengeMsg::kType, &CRemoteConnection::HandleChallenge);
  m_msgMap.Register(COppositeInfoMsg::kType, &CRemoteConnection::HandleOppositeInfo);
  RegisterHandlers();
  return true;
}

CClock& CRemoteConnection::GetClock() const {
  return m_engine ? m_engine->GetClock() : CClock::System();
}

// --- connecting ------------------------------------------------------------

bool CRemoteConnection::Connect(bool logConnect, bool challengeAfterConnect) {
  m_disconnectPending = false;
  m_pendingIsError = false;
  m_pendingReason.clear();

  wxString host;
  int port = 0;
  GetAddress(host, port);
  m_host = host;
  m_port = port;

  if (m_socket) {
    Disconnect(wxString(), true);
    if (m_socket) return false;  // busy: it cannot be replaced from inside itself
  }
  m_socket = CreateSocket();
  if (!m_socket) return false;
  m_socket->AddSink(this);
  m_peerAlias.clear();
  m_peerComputerName.clear();

  if (logConnect) Notify(kNotifyConnecting, wxT("Connecting..."), 0, 0, kSeverityInfo, false);
  m_socket->SetWaitAll(m_waitAll);
  if (m_socket->Connect(host, port)) {
    m_logConnect = logConnect;
    m_challengeAfterConnect = challengeAfterConnect;
    Connected();
    return true;
  }
  ErrorDisconnect(wxT("Unable to connect"), true);
  return false;
}

void CRemoteConnection::Connected() {
  if (m_logConnect)
    Notify(kNotifyConnected, wxT("Connection established"), 0, 0, kSeverityInfo, false);
  if (m_challengeAfterConnect) StartChallenge();
}

void CRemoteConnection::OnConnected() { Connected(); }

void CRemoteConnection::OnConnectFailed() { ErrorDisconnect(wxT("Unable to connect"), true); }

bool CRemoteConnection::IsConnected() const { return m_socket && m_socket->HasConnection(); }

bool CRemoteConnection::IsReady() const { return IsConnected() && m_state.Has(kStateChallenged); }

// --- sending and waiting ---------------------------------------------------

bool CRemoteConnection::Send(std::unique_ptr<CMsgBase> message, bool wantAck, wxUint32 value1,
                             wxUint32 value2, wxUint32 value3) {
  if (!message || !m_socket) return false;
  if (!IsTypeAllowed(message->GetType())) return false;
  const bool sent = m_socket->SendMsg(message.get());
  if (sent && wantAck && m_engine)
    m_engine->AddAck(message.get(), this, nullptr, kAckTimeout, value1, value2, value3);
  if (!sent) OnTransferError();
  return sent;
}

CNetMsgAckResult CRemoteConnection::SendAndWait(std::unique_ptr<CMsgBase> message,
                                                wxUint32 timeout) {
  if (!message) return CNetMsgAckResult();
  const wxInt32 type = message->GetType();
  const wxUint32 serial = message->GetSerial();
  const CNetMsgAckResult timedOut(type, serial);
  if (!m_engine) return timedOut;
  m_engine->AddAck(message.get(), this, nullptr, timeout);
  const wxUint32 start = GetClock().Now();
  if (!Send(std::move(message), false)) {
    m_engine->RemoveAck(type, serial);
    return timedOut;
  }
  for (;;) {
    Process();
    if (m_lastAckResult.GetSerial() == serial) {
      // The waiter becomes the only holder of the answer's message, so that
      // it can take the message over without copying it.
      CNetMsgAckResult answer(m_lastAckResult);
      m_lastAckResult.SetAttached(nullptr);
      return answer;
    }
    wxUint32 wait = 0;
    if (IsWaitHopeless() || !NextWait(start, timeout, &wait)) break;
    WaitForActivity(wait);
  }
  // No answer can come any more (or it came too late): forget the entry.
  m_engine->RemoveAck(type, serial);
  return timedOut;
}

bool CRemoteConnection::WaitForState(wxUint32 bits, wxUint32 timeout) {
  const wxUint32 start = GetClock().Now();
  for (;;) {
    if (m_state.Has(bits)) return true;
    Process();
    if (m_state.Has(bits)) return true;
    wxUint32 wait = 0;
    if (IsWaitHopeless() || !NextWait(start, timeout, &wait)) return false;
    WaitForActivity(wait);
  }
}

bool CRemoteConnection::IsWaitHopeless() const { return !IsConnected() || m_disconnectPending; }

bool CRemoteConnection::NextWait(wxUint32 start, wxUint32 timeout, wxUint32* ms) {
  const wxUint32 elapsed = GetClock().Now() - start;
  if (elapsed > timeout) return false;
  // The wait gives up at the first millisecond after its time-out.
  wxUint32 wait = timeout - elapsed + 1;
  wxUint32 ackDue = 0;
  if (m_engine && m_engine->GetNextAckDue(&ackDue)) wait = std::min(wait, ackDue);
  *ms = wait;
  return true;
}

void CRemoteConnection::WaitForActivity(wxUint32 ms) {
  // A wait inside a handler cannot read from the socket that is delivering
  // to it; it only lets the time pass.
  if (m_socket && !m_socket->IsBusy())
    m_socket->WaitForActivity(ms);
  else
    GetClock().Sleep(ms);
}

void CRemoteConnection::Process() {
  if (!IsConnected()) return;
  if (!m_socket->IsBusy()) m_socket->Poll();
  if (m_engine) m_engine->CheckAckTimeouts();
}

// --- receiving -------------------------------------------------------------

void CRemoteConnection::OnMessage(CMemoryStream& stream, bool raw) {
  if (stream.Size() < 4 || !m_engine) return;
  // A connection that is to be ended takes nothing more.
  if (m_disconnectPending) return;
  stream.Rewind();
  if (raw) stream.Skip(4);
  wxInt32 type = 0;
  stream.ReadInt32(type);
  if (!AcceptType(type)) return;

  std::unique_ptr<CMsgBase> message = m_engine->Create(type);
  if (!message) return;
  // Read in the form it arrived in, whatever the class writes.
  message->SetRaw(raw);
  if (!message->Serialize(stream)) {
    if (message->IsOverLimit())
      m_socket->FailTransfer(wxSOCKET_IOERR);  // reaches OnTransferError
    else
      ErrorDisconnect(wxT("Invalid message received"), true);
    return;
  }

  ++m_dispatchDepth;
  if (type < 1024) {
    DispatchMsg(message.get());
    UEvent event(NetMsgEventName(type), this);
    event.Args().SetPointer(kNetMsgArgMessage, message.get());
    event.Raise();
  } else if (type == CMsgAckMsg::kType) {
    m_engine->HandleAck(dynamic_cast<CMsgAckMsg*>(message.get()));
  } else if (type == CRequestMsg::kType) {
    m_engine->HandleRequest(dynamic_cast<CRequestMsg*>(message.get()), this);
  }
  --m_dispatchDepth;
}

bool CRemoteConnection::DispatchMsg(CMsgBase* message) {
  return message && m_msgMap.Dispatch(message->GetType(), message);
}

wxInt32 CRemoteConnection::HandleRequest(CMsgBase*, wxInt32, wxUint32, const wxString&,
                                         const wxString&, bool&) {
  return 1;
}

bool CRemoteConnection::IsTypeAllowed(wxInt32 type) {
  if (type == CChallengeMsg::kType || type == CMsgAckMsg::kType) return IsConnected();
  return IsReady();
}

bool CRemoteConnection::AcceptType(wxInt32 type) { return IsTypeAllowed(type); }

void CRemoteConnection::OnAckResult(const CNetMsgAckResult& result) {
  m_lastAckResult = result;
  if (result.GetType() == CChallengeMsg::kType)
    AnswerChallenge(result.IsSuccess(), result.GetText(), UpdateInfoFromData(result.GetData()));
}

// --- the challenge ---------------------------------------------------------

bool CRemoteConnection::StartChallenge() {
  if (!m_engine) return false;
  std::unique_ptr<CChallengeMsg> challenge =
      UniqueCast<CChallengeMsg>(m_engine->CreateForSend(CChallengeMsg::kType));
  if (!challenge) return false;
  challenge->SetIdentifier(CChallengeMsg::kRemoteControllerId);
  challenge->SetVersion(CChallengeMsg::kProtocolVersion);
  challenge->SetUpdateInfo(wxString());
  const bool sent = Send(std::move(challenge), true);
  m_state.Set(kStateChallengeSent);
  Notify(kNotifyChallengeStarted, wxT("Challenging remote machine..."), 0, 0, kSeverityInfo, false);
  return sent;
}

bool CRemoteConnection::AnswerChallenge(bool success, const wxString& reason,
                                        const wxString& updateInfo) {
  if (!updateInfo.empty() && !CheckUpdate(updateInfo)) {
    m_pendingReason = wxT("A critical update is pending.");
    m_disconnectPending = true;
    m_pendingIsError = true;
    Notify(kNotifyChallengeOutcome, wxT("Critical update pending"), 0, 0, kSeverityError, false);
    return false;
  }
  if (!success) {
    m_pendingReason = wxString::Format(wxT("Challenging the target machine failed (%s)."), reason);
    m_disconnectPending = true;
    m_pendingIsError = true;
    Notify(kNotifyChallengeOutcome, wxT("Challenge failed"), 0, 0, kSeverityError, false);
    return false;
  }
  m_state.SetAndClear(kStateChallenged, kStateChallengeSent);
  Notify(kNotifyChallengeOutcome, wxT("Challenge succeeded"), 0, 0, kSeverityInfo, false);

  if (!m_engine) return true;
  std::unique_ptr<COppositeInfoMsg> info =
      UniqueCast<COppositeInfoMsg>(m_engine->CreateForSend(COppositeInfoMsg::kType));
  if (!info) return true;
  const wxString computer = MachineHostName();
  info->alias = m_alias;
  info->alias.Replace(wxT("%COMPUTERNAME%"), computer);
  info->computerName = computer;
  info->kind = COppositeInfoMsg::kRemoteControllerKind;
  info->build = COppositeInfoMsg::kBuild;
  info->physicalMemory = MachinePhysicalMemory();
  Send(std::move(info), false);
  return true;
}

void CRemoteConnection::HandleChallenge(CRemoteConnection* owner, CMsgBase* message) {
  CChallengeMsg* challenge = dynamic_cast<CChallengeMsg*>(message);
  if (owner && challenge) owner->OnChallenge(challenge);
}

void CRemoteConnection::HandleOppositeInfo(CRemoteConnection* owner, CMsgBase* message) {
  if (owner) owner->OnOppositeInfo(message);
}

void CRemoteConnection::OnChallenge(CChallengeMsg* challenge) {
  const bool validId = challenge->GetIdentifier() == m_expectedIdentifier;
  const bool validVersion = challenge->GetVersion() == CChallengeMsg::kProtocolVersion;
  wxString reason;
  if (!validId) {
    reason = wxT("invalid challenge ID");
  } else if (!validVersion) {
    reason = wxString::Format(
        wxT("the protocol version differs; got %i, expected %i "
            "- incompatible Kilnforge V2 versions)"),
        challenge->GetVersion(), CChallengeMsg::kProtocolVersion);
  }
  const bool valid = validId && validVersion;
  if (m_engine) {
    std::unique_ptr<CMsgAckMsg> ack =
        m_engine->CreateAck(challenge, valid, reason, 0, 0, 0, nullptr);
    if (ack) {
      // Peers before version 30 read acknowledgements unframed.
      if (challenge->GetVersion() < kFirstFramedVersion) ack->SetRaw(true);
      Send(std::move(ack), false);
    }
  }
  if (!valid) GetClock().Sleep(kRefusalPauseMs);
  AnswerChallenge(valid, reason, challenge->GetUpdateInfo());
}

void CRemoteConnection::OnOppositeInfo(CMsgBase* message) {
  COppositeInfoMsg* info = dynamic_cast<COppositeInfoMsg*>(message);
  if (!info) return;
  m_state.Set(kStatePeerInfo);
  m_peerAlias = info->alias;
  m_peerComputerName = info->computerName;
}

// --- ending ----------------------------------------------------------------

void CRemoteConnection::Disconnect(const wxString& reason, bool log) {
  if (!m_socket) {
    m_state.Assign(0);
    m_disconnectPending = false;
    m_pendingIsError = false;
    m_pendingReason.clear();
    return;
  }
  if (!CanDisconnectNow() || m_socket->IsBusy()) {
    m_disconnectPending = true;
    m_pendingReason = reason;
    return;
  }
  m_socket->Shutdown();
  if (log) {
    const wxString text = reason.empty() ? wxString(wxT("Disconnected"))
                                         : wxString::Format(wxT("Disconnected (%s)"), reason);
    Notify(kNotifyDisconnected, text, 0, 0, kSeverityInfo, false);
  }
  // reset() forgets the socket before destroying it, so nothing its
  // destructor reaches finds it still set.
  m_socket.reset();
  // Acknowledgements of this connection can no longer come.
  if (m_engine) m_engine->RemoveAcksFor(this);
  m_state.Assign(0);
  m_disconnectPending = false;
  m_pendingIsError = false;
  m_pendingReason.clear();
}

void CRemoteConnection::ErrorDisconnect(const wxString& reason, bool withSocketError) {
  if (m_disconnectPending) return;
  wxString text = reason;
  if (withSocketError) {
    if (m_socket) {
      wxString error = CleanErrorText(m_socket->GetSocketErrorText());
      if (error.empty()) error = wxT("Unknown error");
      text = wxString::Format(wxT("%s (%s)"), reason, error);
    } else {
      text = wxT("No socket object");
    }
  }
  Disconnect(text, true);
  Notify(kNotifyError, text, 0, 0, kSeverityError, true);
}

void CRemoteConnection::OnDisconnected(int error) {
  m_disconnectPending = true;
  m_pendingIsError = error != 0;
  m_pendingReason = CBaseSocket::ErrorText(error);
}

void CRemoteConnection::OnTransferError() {
  ErrorDisconnect(wxT("An error occurred during data transfer"), true);
}

bool CRemoteConnection::CanDisconnectNow() { return m_dispatchDepth == 0; }

bool CRemoteConnection::ProcessPendingDisconnect() {
  if (!m_disconnectPending) return true;
  Notify(kNotifyPendingDisconnect, wxString(), 0, 0, kSeverityInfo, false);
  if (m_pendingIsError) {
    const wxString reason = m_pendingReason;
    m_disconnectPending = false;
    ErrorDisconnect(reason, false);
  } else {
    Disconnect(m_pendingReason.empty() ? wxString(wxT("Regular disconnect")) : m_pendingReason,
               true);
  }
  return false;
}

// --- defaults and status lines ---------------------------------------------

std::unique_ptr<CBaseSocket> CRemoteConnection::CreateSocket() {
  return std::make_unique<CBaseSocket>();
}

void CRemoteConnection::GetAddress(wxString& host, int& port) {
  if (!m_socket || !m_socket->GetPeer(host, port)) {
    host = m_host;
    port = m_port;
  }
}

bool CRemoteConnection::RegisterHandlers() { return true; }

void CRemoteConnection::OnNotify(int, const wxString&, long, long, int, bool&) {}

bool CRemoteConnection::CheckUpdate(const wxString&) { return true; }

wxString CRemoteConnection::FormatStatusLine(const wxString& text) const {
  if (m_peerComputerName.empty())
    return wxString::Format(wxT("Network: [%s:%i] %s"), m_host, m_port, text);
  return wxString::Format(wxT("Network: [%s/%s:%i] %s"), m_peerComputerName, m_host, m_port, text);
}

void CRemoteConnection::Notify(int code, const wxString& text, long value1, long value2,
                               int severity, bool echo) {
  const wxString line = FormatStatusLine(text);
  if (m_notify) {
    bool cancel = false;
    OnNotify(code, line, value1, value2, severity, cancel);
    if (cancel) {
      m_disconnectPending = true;
      m_pendingReason.clear();
    }
  }
  if (echo && m_echo) {
    if (m_console) {
      const int level = severity == kSeverityError     ? CConsole::kLevelError
                        : severity == kSeverityWarning ? CConsole::kLevelWarning
                                                       : CConsole::kLevelPlain;
      m_console->OutputLevelText(level, line + wxT("\n"));
    }
  }
}
