// Sends control verbs to the server, one server control message per target,
// and prints a progress line for each: the object and what is being done,
// then "Done" or, on the next line, the reason the server gave. Verbs are
// looked up in one table per kind of object; a verb not in the table sends
// nothing and prints nothing.
#pragma once

#include <wx/arrstr.h>
#include <wx/object.h>
#include <wx/string.h>

#include <memory>
#include <vector>

#include "net/NetMsgAckResult.h"
#include "net/ServerControlMsg.h"

class CConsole;
class CRemoteConnection;
class CUserData;

class CServerControlSender : public wxObject {
 public:
  static constexpr wxUint32 kTimeoutMs = 30000;

  // Codes of remote execution.
  static constexpr wxUint16 kExecuteOnClient = 14;
  static constexpr wxUint16 kExecuteOnPool = 110;

  // One verb of a table.
  struct Verb {
    const wxChar* name;
    wxUint16 code;
  };

  // The code of `verb` (any letter case) among the verbs of net jobs, chunks
  // or pools; 0 when the table lacks it.
  static wxUint16 FindNetJobVerb(const wxString& verb);
  static wxUint16 FindChunkVerb(const wxString& verb);
  static wxUint16 FindPoolVerb(const wxString& verb);
  // What the progress line says a code does ("Pausing"), or "Unknown control
  // verb".
  static wxString GetProgressText(wxUint16 code);

  // Sends on `connection`; pools are looked up in `userData`; progress goes
  // to `console` (null: nowhere). None is owned.
  CServerControlSender(CRemoteConnection* connection, const CUserData* userData, CConsole* console)
      : m_connection(connection), m_userData(userData), m_console(console) {}
  ~CServerControlSender() override = default;

  // Sends one message and waits up to 30000 ms for its acknowledgement. True
  // on result 1; otherwise `error` receives the server's text, or "Timed out".
  bool SendControl(wxUint16 kind, const wxString& target, wxUint16 code, wxString& error,
                   const wxString& argument = wxString(), wxUint32 number = 0);

  void ControlNetJobs(const wxString& verb, const std::vector<int>& netJobIds);
  void ControlChunks(const wxString& verb, int netJobId, const std::vector<int>& chunkIds);
  // Pools are named; each is looked up in the user's pools.
  void ControlPools(const wxString& verb, const wxArrayString& poolNames);
  // Runs `command` with `arguments` on a client (by name) or on a pool (by
  // identifier, empty when the pool is unknown); `written` is the target as
  // the user gave it.
  void ExecuteOnTarget(const wxString& command, const wxString& arguments, const wxString& target,
                       const wxString& written, bool pool, bool idleOnly);

 protected:
  // Sends `message` (taken over) and waits for its acknowledgement.
  virtual CNetMsgAckResult Transmit(std::unique_ptr<CServerControlMsg> message,
                                    wxUint32 timeoutMs);
  // A new message numbered for sending, or null.
  virtual std::unique_ptr<CServerControlMsg> CreateMessage();

 private:
  // Sends and finishes the progress line already begun.
  void SendAndReport(wxUint16 kind, const wxString& target, wxUint16 code,
                     const wxString& argument, wxUint32 number);
  void ReportOutcome(bool success, const wxString& error) const;

  CRemoteConnection* m_connection;
  const CUserData* m_userData;
  CConsole* m_console;
};
