// The connection to one server: it owns the socket, drives the connection's
// state (connecting, challenging, challenged), sends messages, routes the
// received ones to the message map or the engine, turns acknowledgements into
// results, reports status lines and ends the connection in order.
//
// Everything runs on one thread. Progress is made only inside the waits
// (SendAndWait, WaitForState and those built on them): they block on the
// socket until it has something to do or the next deadline is due, so a
// waiting program uses no CPU, and they end at once when the connection is
// lost or is to be ended, with the result a time-out would give.
//
// A derived class that overrides OnNotify, or that owns the engine, must
// Disconnect in its own destructor: the base destructor no longer reaches the
// override, and ending the connection forgets its acknowledgement entries in
// the engine. Without a socket the connection keeps no such entries.
#pragma once

#include "net/NetMsgAckResult.h"
#include "net/NetMsgMap.h"
#include "net/SocketNotificationSink.h"
#include "net/StateV.h"

#include <wx/string.h>

#include <memory>

class CBaseSocket;
class CChallengeMsg;
class CConsole;
class CClock;
class CNetEngine;

class CRemoteConnection : public CSocketNotificationSink {
 public:
  // State bits.
  static constexpr wxUint32 kStateChallengeSent = 0x1;
  static constexpr wxUint32 kStateChallenged = 0x2;
  static constexpr wxUint32 kStatePeerInfo = 0x4;
  static constexpr wxUint32 kStateUserData0 = 0x10000;
  static constexpr wxUint32 kStateUserData1 = 0x20000;

  // Status notification codes.
  enum NotifyCode {
    kNotifyConnected = 1,
    kNotifyDisconnected = 2,
    kNotifyError = 3,
    kNotifyChallengeStarted = 4,
    kNotifyChallengeOutcome = 5,
    kNotifyConnecting = 6,
    kNotifyPendingDisconnect = 7,
  };
  // Severities of a status notification.
  enum NotifySeverity {
    kSeverityInfo = 0,
    kSeverityError = 1,
    kSeverityWarning = 4,
  };

  // Time-out of a message sent with Send(want ack).
  static constexpr wxUint32 kAckTimeout = 30000;

  CRemoteConnection();
  ~CRemoteConnection() override;

  CRemoteConnection(const CRemoteConnection&) = delete;
  CRemoteConnection& operator=(const CRemoteConnection&) = delete;

  // Keeps `engine` (not owned) and registers the handlers.
  bool Init(CNetEngine* engine);

  // Connects to the address of GetAddress; with `challengeAfterConnect` the
  // challenge is sent at once. True when the socket connected.
  bool Connect(bool logConnect, bool challengeAfterConnect);
  // Sends `message`. With `wantAck` the acknowledgement is awaited for
  // 30000 ms. False when there is no socket or the type may not be sent now.
  bool Send(std::unique_ptr<CMsgBase> message, bool wantAck, wxUint32 value1 = 0,
            wxUint32 value2 = 0, wxUint32 value3 = 0);
  // Sends `message` and waits for its acknowledgement.
  CNetMsgAckResult SendAndWait(std::unique_ptr<CMsgBase> message, wxUint32 timeout);
  // Waits until the state has all `bits`; false after `timeout` ms, or at
  // once when the connection is lost.
  bool WaitForState(wxUint32 bits, wxUint32 timeout);
  // One round of progress: polls the socket and checks acknowledgement
  // time-outs, when connected.
  virtual void Process();

  bool IsConnected() const;
  // Connected and challenged.
  bool IsReady() const;

  void Disconnect(const wxString& reason, bool log);
  void ErrorDisconnect(const wxString& reason, bool withSocketError);

  // The challenge, sent after connecting (state bit 0x1, status code 4).
  bool StartChallenge();
  // The outcome of a challenge, from its acknowledgement or from a peer's
  // challenge. On success sets bit 0x2 and sends this side's information.
  bool AnswerChallenge(bool success, const wxString& reason, const wxString& updateInfo);

  // Socket notifications.
  void OnConnected() override;
  void OnConnectFailed() override;
  void OnDisconnected(int error) override;
  void OnMessage(CMemoryStream& stream, bool raw) override;
  void OnTransferError() override;
  void OnAckResult(const CNetMsgAckResult& result) override;

  // Overridable behaviour.
  virtual std::unique_ptr<CBaseSocket> CreateSocket();
  // Host and port to connect to (the base gives the socket's peer).
  virtual void GetAddress(wxString& host, int& port);
  virtual bool RegisterHandlers();
  // A status notification; setting `cancel` asks for the connection to end.
  virtual void OnNotify(int code, const wxString& line, long value1, long value2, int severity,
                        bool& cancel);
  // False when the server's update information means a critical update.
  virtual bool CheckUpdate(const wxString& updateInfo);
  virtual bool DispatchMsg(CMsgBase* message);
  // Fills `reply`, the answer to a request for `type`, and returns the
  // result of a mode-1 answer; setting `handled` suppresses the answer.
  virtual wxInt32 HandleRequest(CMsgBase* reply, wxInt32 type, wxUint32 parameter,
                                const wxString& text1, const wxString& text2, bool& handled);
  // Challenges and acknowledgements need a connection; everything else a
  // successful challenge.
  virtual bool IsTypeAllowed(wxInt32 type);
  virtual bool AcceptType(wxInt32 type);
  virtual bool CanDisconnectNow();
  // Ends a pending disconnect; true when nothing was pending.
  virtual bool ProcessPendingDisconnect();

  CNetEngine* GetEngine() const { return m_engine; }
  CBaseSocket* GetSocket() const { return m_socket.get(); }
  CNetMsgMap& GetMsgMap() { return m_msgMap; }
  CStateV& GetState() { return m_state; }
  const CStateV& GetState() const { return m_state; }
  const CNetMsgAckResult& GetLastAckResult() const { return m_lastAckResult; }

  bool IsDisconnectPending() const { return m_disconnectPending; }
  bool IsPendingError() const { return m_pendingIsError; }
  const wxString& GetPendingReason() const { return m_pendingReason; }
  bool IsInDispatch() const { return m_dispatchDepth > 0; }

  const wxString& GetPeerAlias() const { return m_peerAlias; }
  const wxString& GetPeerComputerName() const { return m_peerComputerName; }
  const wxString& GetHost() const { return m_host; }
  int GetPort() const { return m_port; }

  // The identifier a peer's challenge must carry.
  void SetExpectedIdentifier(const wxString& id) { m_expectedIdentifier = id; }
  const wxString& GetExpectedIdentifier() const { return m_expectedIdentifier; }
  // The configured alias; "%COMPUTERNAME%" in it is replaced when it is sent.
  void SetAlias(const wxString& alias) { m_alias = alias; }
  const wxString& GetAlias() const { return m_alias; }
  void SetNotify(bool notify) { m_notify = notify; }
  void SetEcho(bool echo) { m_echo = echo; }
  // Where status lines are echoed and derived connections print (not owned;
  // null: nowhere).
  void SetConsole(CConsole* console) { m_console = console; }
  CConsole* GetConsole() const { return m_console; }
  void SetWaitAll(bool waitAll) { m_waitAll = waitAll; }

  // The status line of `text`: "Network: [host:port] text", with the peer's
  // computer name in front of the host once it is known.
  wxString FormatStatusLine(const wxString& text) const;

 protected:
  void Notify(int code, const wxString& text, long value1, long value2, int severity, bool echo);
  // Blocks until the socket has work or `ms` milliseconds have passed.
  void WaitForActivity(wxUint32 ms);
  CClock& GetClock() const;

  void OnChallenge(CChallengeMsg* challenge);
  void OnOppositeInfo(CMsgBase* message);

 private:
  static void HandleChallenge(CRemoteConnection* owner, CMsgBase* message);
  static void HandleOppositeInfo(CRemoteConnection* owner, CMsgBase* message);
  void Connected();
  // Whether a wait must end now: the connection is gone or is to be ended.
  bool IsWaitHopeless() const;
  // Milliseconds a wait that started at `start` may still block, bounded by
  // the next acknowledgement deadline; false when its time is up.
  bool NextWait(wxUint32 start, wxUint32 timeout, wxUint32* ms);

  bool m_disconnectPending = false;
  bool m_pendingIsError = false;
  wxString m_pendingReason;
  bool m_logConnect = false;
  bool m_challengeAfterConnect = false;
  CStateV m_state;
  std::unique_ptr<CBaseSocket> m_socket;
  CNetMsgMap m_msgMap;
  wxString m_peerAlias;
  wxString m_peerComputerName;
  wxString m_expectedIdentifier;
  wxString m_alias;
  wxString m_host;
  int m_port = 0;
  bool m_notify = true;
  bool m_echo = true;
  CConsole* m_console = nullptr;
  bool m_waitAll = false;
  int m_dispatchDepth = 0;
  CNetEngine* m_engine = nullptr;
  CNetMsgAckResult m_lastAckResult;
};
