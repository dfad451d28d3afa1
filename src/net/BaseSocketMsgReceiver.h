// Reassembles incoming frames into whole messages, one queue per message
// serial. A queue accepts only the part it waits for; other frames are
// dropped. What a peer may make it hold is bounded, checked before anything
// grows: at most 64 messages in reassembly at once, 256 MiB per message, and
// 256 MiB in all incomplete messages together. A frame that is a whole
// message by itself never waits in a queue and counts against neither.
#pragma once

#include "net/BaseSocketMsgQueue.h"

#include <memory>
#include <unordered_map>

class CBaseSocketMsg;

class CBaseSocketMsgReceiver {
 public:
  static constexpr wxUint32 kMaxMessageSize = 256u * 1024 * 1024;
  static constexpr size_t kMaxQueues = 64;
  static constexpr wxUint64 kMaxHeldBytes = kMaxMessageSize;

  explicit CBaseSocketMsgReceiver(wxUint64 maxHeldBytes = kMaxHeldBytes)
      : m_maxHeldBytes(maxHeldBytes) {}

  enum Result {
    kKept,      // accepted; the message is not complete yet
    kDropped,   // not the part its queue waits for
    kComplete,  // the message is whole and handed out
    kRejected,  // breaks a limit (or memory ran out): a transfer error
  };

  // Places one complete frame (header decoded). On kComplete `whole` receives
  // the message bytes, rewound, and the queue is gone.
  Result Receive(const CBaseSocketMsg& frame, std::unique_ptr<CMemoryStream>* whole);

  size_t GetQueueCount() const { return m_queues.size(); }
  // The payload bytes held in incomplete messages.
  wxUint64 GetHeldBytes() const { return m_heldBytes; }

 private:
  std::unordered_map<wxUint32, std::unique_ptr<CBaseSocketMsgQueue>> m_queues;
  wxUint64 m_maxHeldBytes;
  wxUint64 m_heldBytes = 0;
};
