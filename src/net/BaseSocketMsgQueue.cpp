#include "net/BaseSocketMsgQueue.h"

#include "net/BaseSocketMsg.h"

bool CBaseSocketMsgQueue::Fits(const CBaseSocketMsg& frame) const {
  return IsEmpty() || frame.GetPartIndex() == wxUint32(m_nextIndex);
}

bool CBaseSocketMsgQueue::Accept(const CBaseSocketMsg& frame) {
  if (IsEmpty()) {
    m_serial = frame.GetSerial();
    m_partCount = frame.GetPartCount();
    m_nextIndex = 0;
  }
  if (!m_stream->Write(frame.Payload(), frame.PayloadSize())) return false;
  ++m_nextIndex;
  return true;
}

std::unique_ptr<CMemoryStream> CBaseSocketMsgQueue::TakeStream() {
  m_stream->Rewind();
  return std::move(m_stream);
}
