#include "rs/RSDataManager.h"

#include "net/MsgBase.h"
#include "rs/RSDataMsg.h"
#include "settings/Event.h"

bool CRSDataManager::Init(CRSPool* pool) {
  if (pool == nullptr) return false;
  m_pool = pool;
  Subscribe(kEvDataImported, &CRSDataManager::OnDataImported);
  Subscribe(NetMsgEventName(CRSDataMsg::kType), &CRSDataManager::OnDataMessage);
  return true;
}

bool CRSDataManager::ApplyMessage(CRSDataMsg& msg, bool processNow) {
  for (auto& record : msg.Records()) {
    if (record && record->IsValid()) m_queue.push_back(std::move(record));
  }
  msg.Records().clear();
  return processNow ? ProcessQueue() : true;
}

bool CRSDataManager::ProcessQueue() {
  // Records queued while the queue runs (by an event handler) wait for the
  // next run.
  std::vector<std::unique_ptr<CRSDataCommand>> queue;
  queue.swap(m_queue);
  m_busy = true;
  m_error.clear();
  bool ok = true;
  for (auto& record : queue) {
    std::unique_ptr<CRSDataCommand> command = CreateCommand();
    command->Assign(*record);
    // A record that fails leaves what it loaded before the failure in the
    // pool, and the records after it are still applied; the first failure
    // is kept.
    if (!command->Execute(m_pool)) {
      if (ok) m_error = command->GetError();
      ok = false;
    }
    OnCommand(*command);
  }
  m_busy = false;
  return ok;
}

void CRSDataManager::ProcessPending() {
  if (!m_busy) ProcessQueue();
}

uint32_t CRSDataManager::OnDataMessage(UEvent& event) {
  auto* msg = dynamic_cast<CRSDataMsg*>(event.Args().GetPointer<CMsgBase>(kNetMsgArgMessage));
  if (msg == nullptr || !IsSource(event.GetSource())) return 0;
  ApplyMessage(*msg, false);
  return 0;
}

uint32_t CRSDataManager::OnDataImported(UEvent& /*event*/) { return 0; }
