// The reassembly of one incoming message: the payloads of its frames, in
// part order, with the serial and part count taken from its first frame.
#pragma once

#include "net/MemoryStream.h"

#include <memory>

class CBaseSocketMsg;

class CBaseSocketMsgQueue {
 public:
  CBaseSocketMsgQueue() : m_stream(std::make_unique<CMemoryStream>(CMemoryStream::kReadWrite)) {}

  bool IsEmpty() const { return m_nextIndex < 0; }
  // Whether `frame` is the part this queue waits for (any frame starts an
  // empty queue).
  bool Fits(const CBaseSocketMsg& frame) const;
  // Appends the frame's payload; false when memory runs out.
  bool Accept(const CBaseSocketMsg& frame);
  bool IsComplete() const { return m_nextIndex >= 0 && wxUint32(m_nextIndex) >= m_partCount; }

  wxUint32 GetSerial() const { return m_serial; }
  wxUint32 GetPartCount() const { return m_partCount; }
  wxUint32 Size() const { return m_stream->Size(); }
  // Hands over the collected bytes, rewound; the queue is spent afterwards.
  std::unique_ptr<CMemoryStream> TakeStream();

 private:
  std::unique_ptr<CMemoryStream> m_stream;
  wxUint32 m_serial = 0;
  wxUint32 m_partCount = 0;
  long m_nextIndex = -1;
};
