#include "net/BaseSocketMsgReceiver.h"

#include "net/BaseSocketMsg.h"

CBaseSocketMsgReceiver::Result CBaseSocketMsgReceiver::Receive(
    const CBaseSocketMsg& frame, std::unique_ptr<CMemoryStream>* whole) {
  auto it = m_queues.find(frame.GetSerial());
  if (it == m_queues.end()) {
    // A message must have parts, and it must fit the limit as announced.
    const wxUint64 announced = wxUint64(frame.GetPartCount()) * CBaseSocketMsg::kMaxPayload;
    if (frame.GetPartCount() == 0 ||
        announced > wxUint64(kMaxMessageSize) + CBaseSocketMsg::kMaxPayload)
      return kRejected;
    if (frame.GetPartCount() == 1) {
      // Whole in itself: handed out at once, without a queue.
      CBaseSocketMsgQueue single;
      if (!single.Accept(frame)) return kRejected;
      if (whole) *whole = single.TakeStream();
      return kComplete;
    }
    if (m_queues.size() >= kMaxQueues) return kRejected;
    it = m_queues.emplace(frame.GetSerial(), std::make_unique<CBaseSocketMsgQueue>()).first;
  }
  CBaseSocketMsgQueue& queue = *it->second;
  if (!queue.Fits(frame)) return kDropped;
  if (wxUint64(queue.Size()) + frame.PayloadSize() > kMaxMessageSize) return kRejected;
  if (m_heldBytes + frame.PayloadSize() > m_maxHeldBytes) return kRejected;
  if (!queue.Accept(frame)) return kRejected;
  m_heldBytes += frame.PayloadSize();
  if (!queue.IsComplete()) return kKept;
  m_heldBytes -= queue.Size();
  if (whole) *whole = queue.TakeStream();
  m_queues.erase(it);
  return kComplete;
}
