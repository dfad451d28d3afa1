#include "net/ServerControlSender.h"

#include "net/NetEngine.h"
#include "net/RemoteConnection.h"
#include "net/UserData.h"
#include "platform/CaseFold.h"
#include "platform/Console.h"
#include "platform/UniqueCast.h"

namespace {

const CServerControlSender::Verb kNetJobVerbs[] = {
    {wxT("remove"), 200},           {wxT("cancel"), 201},  {wxT("cancelpending"), 202},
    {wxT("restart"), 203},          {wxT("restartcancelled"), 204},
    {wxT("pause"), 205},            {wxT("unpause"), 206}, {wxT("restarterroneous"), 210},
};

const CServerControlSender::Verb kPoolVerbs[] = {
    {wxT("start"), 100},       {wxT("stop"), 101},          {wxT("removefromall"), 103},
    {wxT("assigntoall"), 104}, {wxT("connectall"), 105},    {wxT("disconnectall"), 106},
    {wxT("shutdown"), 108},    {wxT("reboot"), 109},
};

const CServerControlSender::Verb kChunkVerbs[] = {
    {wxT("skip"), 400}, {wxT("restart"), 401}, {wxT("cancel"), 402},
};

struct ProgressText {
  wxUint16 code;
  const wxChar* text;
};

const ProgressText kProgressTexts[] = {
    {200, wxT("Removing")},
    {201, wxT("Cancelling")},
    {202, wxT("Cancelling pending chunks")},
    {203, wxT("Restarting")},
    {204, wxT("Restarting cancelled chunks")},
    {205, wxT("Pausing")},
    {206, wxT("Unpausing")},
    {210, wxT("Restarting erroneous chunks")},
    {100, wxT("Starting")},
    {101, wxT("Stopping")},
    {103, wxT("Removing from all jobs")},
    {104, wxT("Assigning to all jobs")},
    {105, wxT("Connecting to all clients")},
    {106, wxT("Disconnecting from all clients")},
    {108, wxT("Shutting down clients")},
    {109, wxT("Rebooting clients")},
    {400, wxT("Skipping")},
    {401, wxT("Restarting")},
    {402, wxT("Cancelling")},
};

template <size_t N>
wxUint16 FindVerb(const CServerControlSender::Verb (&table)[N], const wxString& verb) {
  for (const CServerControlSender::Verb& entry : table) {
    if (casefold::Equal(verb, entry.name)) return entry.code;
  }
  return 0;
}

template <typename... Args>
void Print(CConsole* console, const wxString& format, Args... args) {
  if (console) console->Output(format, args...);
}

}  // namespace

wxUint16 CServerControlSender::FindNetJobVerb(const wxString& verb) {
  return FindVerb(kNetJobVerbs, verb);
}

wxUint16 CServerControlSender::FindChunkVerb(const wxString& verb) {
  return FindVerb(kChunkVerbs, verb);
}

wxUint16 CServerControlSender::FindPoolVerb(const wxString& verb) {
  return FindVerb(kPoolVerbs, verb);
}

wxString CServerControlSender::GetProgressText(wxUint16 code) {
  for (const ProgressText& entry : kProgressTexts) {
    if (entry.code == code) return entry.text;
  }
  return wxT("Unknown control verb");
}

bool CServerControlSender::SendControl(wxUint16 kind, const wxString& target, wxUint16 code,
                                       wxString& error, const wxString& argument,
                                       wxUint32 number) {
  std::unique_ptr<CServerControlMsg> message = CreateMessage();
  if (!message) {
    error = wxT("Timed out");
    return false;
  }
  message->kind = kind;
  message->target = target;
  message->code = code;
  message->number = number;
  message->argument = argument;
  const CNetMsgAckResult result = Transmit(std::move(message), kTimeoutMs);
  if (result.IsSuccess()) return true;
  // A time-out (or a lost connection, which ends the wait the same way)
  // gives a negative result; a refusal carries the server's reason.
  const wxUint32 code32 = static_cast<wxUint32>(result.GetResult());
  error = code32 > 65534 ? wxString(wxT("Timed out")) : result.GetText();
  return false;
}

void CServerControlSender::ControlNetJobs(const wxString& verb, const std::vector<int>& netJobIds) {
  const wxUint16 code = FindNetJobVerb(verb);
  if (code == 0) return;
  const wxString text = GetProgressText(code);
  for (int id : netJobIds) {
    Print(m_console, wxT("Net job %04i: %s... "), id, text);
    SendAndReport(CServerControlMsg::kNetJob, wxString::Format(wxT("%i"), id), code, wxString(), 0);
  }
}

void CServerControlSender::ControlChunks(const wxString& verb, int netJobId,
                                         const std::vector<int>& chunkIds) {
  const wxUint16 code = FindChunkVerb(verb);
  if (code == 0) return;
  const wxString text = GetProgressText(code);
  const wxString target = wxString::Format(wxT("%i"), netJobId);
  for (int chunk : chunkIds) {
    Print(m_console, wxT("Net job %04i, Chunk %03i: %s... "), netJobId, chunk, text);
    SendAndReport(CServerControlMsg::kChunk, target, code, wxString::Format(wxT("%i|"), chunk), 0);
  }
}

void CServerControlSender::ControlPools(const wxString& verb, const wxArrayString& poolNames) {
  const wxUint16 code = FindPoolVerb(verb);
  if (code == 0) return;
  const wxString text = GetProgressText(code);
  for (const wxString& name : poolNames) {
    Print(m_console, wxT("Pool '%s': %s... "), name, text);
    const wxString id = m_userData ? m_userData->FindPool(name) : wxString();
    if (id.empty()) {
      ReportOutcome(false, wxT("Pool not found"));
      continue;
    }
    SendAndReport(CServerControlMsg::kPool, id, code, wxString(), 0);
  }
}

void CServerControlSender::ExecuteOnTarget(const wxString& command, const wxString& arguments,
                                           const wxString& target, const wxString& written,
                                           bool pool, bool idleOnly) {
  Print(m_console, wxT("Executing %s on %s... "), command, written);
  if (pool && target.empty()) {
    ReportOutcome(false, wxT("Pool not found"));
    return;
  }
  SendAndReport(pool ? CServerControlMsg::kPool : CServerControlMsg::kClient, target,
                pool ? kExecuteOnPool : kExecuteOnClient, command + wxT("\n") + arguments,
                idleOnly ? 1 : 0);
}

void CServerControlSender::SendAndReport(wxUint16 kind, const wxString& target, wxUint16 code,
                                         const wxString& argument, wxUint32 number) {
  wxString error;
  const bool success = SendControl(kind, target, code, error, argument, number);
  ReportOutcome(success, error);
}

void CServerControlSender::ReportOutcome(bool success, const wxString& error) const {
  if (success) {
    Print(m_console, wxT("Done"));
  } else {
    Print(m_console, wxT("\n  %s"), error);
  }
  if (m_console) m_console->OutputNewLines(1);
}

CNetMsgAckResult CServerControlSender::Transmit(std::unique_ptr<CServerControlMsg> message,
                                                wxUint32 timeoutMs) {
  if (!m_connection) return CNetMsgAckResult(message->GetType(), message->GetSerial());
  return m_connection->SendAndWait(std::move(message), timeoutMs);
}

std::unique_ptr<CServerControlMsg> CServerControlSender::CreateMessage() {
  CNetEngine* engine = m_connection ? m_connection->GetEngine() : nullptr;
  if (!engine) return nullptr;
  std::unique_ptr<CMsgBase> made = engine->CreateForSend(CServerControlMsg::kType);
  if (!made) return nullptr;
  const wxUint32 serial = made->GetSerial();
  if (auto message = UniqueCast<CServerControlMsg>(std::move(made))) return message;
  // The engine's table lacks the class: keep the serial it gave.
  auto message = std::make_unique<CServerControlMsg>();
  message->SetSerial(serial);
  return message;
}
