#include "net/NetEngine.h"

#include "net/ChallengeMsg.h"
#include "net/DataQueryMsg.h"
#include "net/GenericMsg.h"
#include "net/LoginMsg.h"
#include "net/MsgAckMsg.h"
#include "net/OppositeInfoMsg.h"
#include "net/RemoteConnection.h"
#include "net/RequestMsg.h"
#include "net/ServerControlMsg.h"
#include "net/TextMsg.h"
#include "net/UserData0Msg.h"
#include "net/UserData1Msg.h"
#include "platform/Clock.h"
#include "platform/UniqueCast.h"

namespace {

struct TypeEntry {
  NetMsgType type;
  wxClassInfo* info;  // null: a class of a layer above this one, handed in by AddMessageClass
};

// The class of each message type. Every class is named by a direct reference:
// a class found only by its name is dropped by the linker when nothing else
// refers to its object file, and its type would then be read as a generic
// message.
const TypeEntry kMessageClasses[] = {
    {kGenericMsgType, CLASSINFO(CGenericMsg)},
    {kChallengeMsgType, CLASSINFO(CChallengeMsg)},
    {kOppositeInfoMsgType, CLASSINFO(COppositeInfoMsg)},
    {kTextMsgType, CLASSINFO(CTextMsg)},
    {kLoginMsgType, CLASSINFO(CLoginMsg)},
    {kUserData0MsgType, CLASSINFO(CUserData0Msg)},
    {kUserData1MsgType, CLASSINFO(CUserData1Msg)},
    {kNetJobPacketMsgType, nullptr},
    {kServerControlMsgType, CLASSINFO(CServerControlMsg)},
    {kRSDataMsgType, nullptr},
    {kDataQueryMsgType, CLASSINFO(CDataQueryMsg)},
    {kMsgAckMsgType, CLASSINFO(CMsgAckMsg)},
    {kRequestMsgType, CLASSINFO(CRequestMsg)},
};

std::unordered_map<wxInt32, wxClassInfo*>& UpperLayerClasses() {
  static std::unordered_map<wxInt32, wxClassInfo*> classes;
  return classes;
}

}  // namespace

void CNetEngine::AddMessageClass(wxInt32 type, wxClassInfo* info) {
  if (info && info->IsKindOf(CLASSINFO(CMsgBase))) UpperLayerClasses()[type] = info;
}

CNetEngine::CNetEngine(CClock* clock) : m_clock(clock ? clock : &CClock::System()) {}

CNetEngine::~CNetEngine() = default;

void CNetEngine::SetClock(CClock* clock) { m_clock = clock ? clock : &CClock::System(); }

bool CNetEngine::Register(wxInt32 type, wxClassInfo* info) {
  if (!info || !info->IsKindOf(CLASSINFO(CMsgBase))) return false;
  m_registry[type] = info;
  return true;
}

bool CNetEngine::RegisterAll() {
  for (const TypeEntry& entry : kMessageClasses) {
    wxClassInfo* info = entry.info;
    if (!info) {
      auto it = UpperLayerClasses().find(entry.type);
      if (it == UpperLayerClasses().end()) continue;  // read as CGenericMsg until handed in
      info = it->second;
    }
    Register(entry.type, info);
  }
  return true;
}

std::unique_ptr<CMsgBase> CNetEngine::Make(wxInt32 type) {
  auto it = m_registry.find(type);
  wxClassInfo* info = it != m_registry.end() ? it->second : CLASSINFO(CGenericMsg);
  std::unique_ptr<CMsgBase> message =
      UniqueCast<CMsgBase>(std::unique_ptr<wxObject>(info->CreateObject()));
  if (message) message->SetType(type);
  return message;
}

std::unique_ptr<CMsgBase> CNetEngine::CreateForSend(wxInt32 type) {
  std::unique_ptr<CMsgBase> message = Make(type);
  AssignSerial(message.get());
  return message;
}

void CNetEngine::AssignSerial(CMsgBase* message) {
  if (message) message->SetSerial(m_nextSerial++);
}

std::unique_ptr<CMsgBase> CNetEngine::Create(wxInt32 type) { return Make(type); }

void CNetEngine::AddAck(const CMsgBase* message, CSocketNotificationSink* sinkA,
                        CSocketNotificationSink* sinkB, wxUint32 timeout, wxUint32 value1,
                        wxUint32 value2, wxUint32 value3) {
  if (!message) return;
  auto entry = std::make_unique<CNetMsgAckEntry>();
  entry->type = message->GetType();
  entry->serial = message->GetSerial();
  entry->timeout = timeout;
  entry->start = m_clock->Now();
  entry->values[0] = value1;
  entry->values[1] = value2;
  entry->values[2] = value3;
  entry->sinkA = sinkA;
  entry->sinkB = sinkB;
  m_ackQueue.push_back(std::move(entry));
}

void CNetEngine::CheckAckTimeouts() {
  const wxUint32 now = m_clock->Now();
  // Taken out first: a sink may add or remove entries while it is notified.
  std::vector<std::unique_ptr<CNetMsgAckEntry>> expired;
  for (auto it = m_ackQueue.begin(); it != m_ackQueue.end();) {
    if (now - (*it)->start > (*it)->timeout) {
      expired.push_back(std::move(*it));
      it = m_ackQueue.erase(it);
    } else {
      ++it;
    }
  }
  for (const auto& entry : expired) {
    CNetMsgAckResult result(entry->type, entry->serial);
    result.SetValues(entry->values[0], entry->values[1], entry->values[2]);
    if (entry->sinkA) entry->sinkA->OnAckResult(result);
    if (entry->sinkB) entry->sinkB->OnAckResult(result);
  }
}

bool CNetEngine::GetNextAckDue(wxUint32* ms) const {
  if (m_ackQueue.empty()) return false;
  const wxUint32 now = m_clock->Now();
  wxUint32 best = 0xFFFFFFFFu;
  for (const auto& entry : m_ackQueue) {
    const wxUint32 elapsed = now - entry->start;
    // Due at the first millisecond after the time-out.
    const wxUint32 left = elapsed > entry->timeout ? 0 : entry->timeout - elapsed + 1;
    if (left < best) best = left;
  }
  if (ms) *ms = best;
  return true;
}

bool CNetEngine::RemoveAck(wxInt32 type, wxUint32 serial) {
  for (auto it = m_ackQueue.begin(); it != m_ackQueue.end(); ++it) {
    if ((*it)->type == type && (*it)->serial == serial) {
      m_ackQueue.erase(it);
      return true;
    }
  }
  return false;
}

void CNetEngine::RemoveAcksFor(CSocketNotificationSink* sink) {
  for (auto it = m_ackQueue.begin(); it != m_ackQueue.end();) {
    CNetMsgAckEntry& entry = **it;
    if (entry.sinkA == sink) entry.sinkA = nullptr;
    if (entry.sinkB == sink) entry.sinkB = nullptr;
    if (!entry.sinkA && !entry.sinkB)
      it = m_ackQueue.erase(it);
    else
      ++it;
  }
}

void CNetEngine::HandleAck(CMsgAckMsg* ack) {
  if (!ack) return;
  std::vector<CSocketNotificationSink*> sinks;
  bool removed = false;
  for (auto it = m_ackQueue.begin(); it != m_ackQueue.end();) {
    CNetMsgAckEntry& entry = **it;
    if (entry.type != ack->GetAckedType() || entry.serial != ack->GetAckedSerial()) {
      ++it;
      continue;
    }
    sinks.push_back(entry.sinkA);
    sinks.push_back(entry.sinkB);
    if (!removed) {
      removed = true;
      it = m_ackQueue.erase(it);
    } else {
      ++it;
    }
  }
  if (!removed) return;

  CNetMsgAckResult result(ack->GetAckedType(), ack->GetAckedSerial());
  result.SetResult(ack->GetResult() ? 1 : 0);
  result.SetText(ack->GetText());
  result.SetValues(ack->GetValue1(), ack->GetValue2(), ack->GetValue3());
  // The data moves into the result and the message is read from it in
  // place: a large answer is not copied on its way.
  wxInt32 attachedType = 0;
  const bool hasAttached = ack->GetAttachedType(&attachedType);
  std::unique_ptr<CMemoryStream> data = ack->TakeData();
  if (hasAttached) result.SetAttached(DecodeAttached(attachedType, *data));
  result.SetData(std::move(data));
  for (CSocketNotificationSink* sink : sinks) {
    if (sink) sink->OnAckResult(result);
  }
}

std::unique_ptr<CMsgBase> CNetEngine::DecodeAttached(const CMsgAckMsg& ack) {
  wxInt32 type = 0;
  if (!ack.GetAttachedType(&type)) return nullptr;
  CMemoryStream data(CMemoryStream::kRead, 1);
  const CMemoryStream& source = ack.GetData();
  if (!data.Write(source.Data(), source.Size())) return nullptr;
  return DecodeAttached(type, data);
}

std::unique_ptr<CMsgBase> CNetEngine::DecodeAttached(wxInt32 type, CMemoryStream& data) {
  std::unique_ptr<CMsgBase> message = Create(type);
  if (!message || !message->Serialize(data)) return nullptr;
  return message;
}

void CNetEngine::HandleRequest(CRequestMsg* request, CRemoteConnection* connection) {
  if (!request || !connection) return;
  std::unique_ptr<CMsgBase> reply = CreateForSend(request->requestedType);
  if (!reply) return;
  bool handled = false;
  const wxInt32 result = connection->HandleRequest(reply.get(), request->requestedType,
                                                   request->parameter, request->text1,
                                                   request->text2, handled);
  if (handled) return;
  if (request->mode == CRequestMsg::kAnswerWithMessage) {
    connection->Send(std::move(reply), false);
  } else if (request->mode == CRequestMsg::kAnswerWithAck) {
    std::unique_ptr<CMsgAckMsg> ack =
        CreateAck(request, result != 0, wxString(), 0, 0, 0, reply.get());
    if (ack) connection->Send(std::move(ack), false);
  }
  // A mode this program does not know is not answered.
}

std::unique_ptr<CMsgAckMsg> CNetEngine::CreateAck(const CMsgBase* message, bool result,
                                                  const wxString& text, wxUint32 value1,
                                                  wxUint32 value2, wxUint32 value3,
                                                  CMsgBase* attached) {
  if (!message) return nullptr;
  std::unique_ptr<CMsgAckMsg> ack = UniqueCast<CMsgAckMsg>(CreateForSend(CMsgAckMsg::kType));
  if (!ack) return nullptr;
  ack->SetAcked(message->GetType(), message->GetSerial());
  ack->SetResult(result);
  ack->SetText(text);
  ack->SetValues(value1, value2, value3);
  if (attached && !ack->SetAttachedMessage(attached)) return nullptr;
  return ack;
}
