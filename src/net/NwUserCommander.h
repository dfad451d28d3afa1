// The program's one connection to the render-farm server. Besides being the
// remote connection it owns the net engine, the job submitter engine and the
// user data received after login; it finds out where the server is and who
// logs in, runs the log-on, and reports connection events on the console.
#pragma once

#include <wx/string.h>

#include <functional>
#include <memory>

#include "net/JobSubmitterEngine.h"
#include "net/NetEngine.h"
#include "net/RemoteConnection.h"
#include "net/UserData.h"
#include "platform/UniqueCast.h"
#include "update/UpdateControl.h"

class CChallengeMsg;

class CNwUserCommander : public CRemoteConnection {
 public:
  static constexpr long kDefaultPort = 7506;
  // Ports below 1024 belong to system services; above 65535 there are none.
  static constexpr long kMinPort = 1024;
  static constexpr long kMaxPort = 65535;

  // Where the server is and who logs in: the configuration, then what the
  // command line gives (empty when not given).
  struct LogonSettings {
    wxString serverAddress;
    long serverPort = kDefaultPort;
    wxString userName;
    wxString password;
    wxString cmdServer;     // "host[:port]"
    // A login given on the command line replaces the configured one, even
    // when its user name is empty ("-login :pw" logs nobody in).
    bool cmdLogin = false;
    wxString cmdLoginUser;
    wxString cmdLoginPassword;
  };
  using SettingsSource = std::function<LogonSettings()>;

  // Prints on `console` (not owned; null: nowhere).
  explicit CNwUserCommander(CConsole* console = nullptr);
  ~CNwUserCommander() override;

  // Registers the messages, initialises the connection and the submitter;
  // prints what failed.
  bool Init();
  // Empties the engine's registry.
  void Exit();

  // Connects and logs on; true when logged on.
  bool Logon(bool downloadRenderers);
  // Ends the connection ("Logged off") and says so.
  bool Logoff();

  // Connected, challenged and both parts of the user data received.
  bool IsReadyForData();

  // A request for a message of `type`, answered with the message itself.
  bool SendRequest(wxInt32 type, wxInt32 parameter, const wxString& text);
  // A request answered with an acknowledgement that carries the message;
  // waits up to 30000 ms.
  CNetMsgAckResult RequestAndWait(wxInt32 type, wxInt32 parameter, const wxString& text1,
                                  const wxString& text2);

  // A fresh challenge of this program (identifier, protocol version, no
  // update information), numbered for sending.
  std::unique_ptr<CChallengeMsg> CreateChallenge();
  // A message of class T created by the engine for sending (null on failure).
  template <typename T>
  std::unique_ptr<T> CreateMessage() {
    return UniqueCast<T>(m_engine.CreateForSend(T::kType));
  }

  CJobSubmitterEngine& GetJobSubmitter() { return m_submitter; }
  CUserData& GetUserData() { return m_userData; }
  CNetEngine& GetEngine() { return m_engine; }
  const wxString& GetServerHost() const { return m_serverHost; }
  long GetServerPort() const { return m_serverPort; }

  // Where Logon takes its settings from (none: nothing is configured).
  void SetSettingsSource(SettingsSource source) { m_settingsSource = std::move(source); }
  // The program that a server's update announcement is checked for.
  void SetUpdateHost(const CUpdateControl::Host& host) { m_updateHost = host; }

 protected:
  std::unique_ptr<CBaseSocket> CreateSocket() override;
  void GetAddress(wxString& host, int& port) override;
  bool RegisterHandlers() override;
  void OnNotify(int code, const wxString& line, long value1, long value2, int severity,
                bool& cancel) override;
  bool CheckUpdate(const wxString& updateInfo) override;

 private:
  static void OnUserData0(CRemoteConnection* owner, CMsgBase* msg);
  static void OnUserData1(CRemoteConnection* owner, CMsgBase* msg);

  CNetEngine m_engine;
  CJobSubmitterEngine m_submitter;
  CUserData m_userData;
  wxString m_serverHost;
  long m_serverPort = kDefaultPort;
  SettingsSource m_settingsSource;
  CUpdateControl::Host m_updateHost;
  bool m_announced = false;  // "Connection established" printed, no disconnect yet
};
