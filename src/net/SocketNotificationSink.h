// The listener interface of a socket: the remote connection implements it to
// hear of connection changes, whole messages and transfer errors. The net
// engine also reports acknowledgements through it. Every operation does
// nothing by default.
#pragma once

#include <wx/object.h>

#include <vector>

class CMemoryStream;
class CNetMsgAckResult;

class CSocketNotificationSink : public wxObject {
 public:
  ~CSocketNotificationSink() override = default;

  // A connection was established.
  virtual void OnConnected() {}
  // A connection attempt failed.
  virtual void OnConnectFailed() {}
  // The connection was lost; `error` is a socket error code, 0 for none.
  virtual void OnDisconnected(int error) { (void)error; }
  // A whole message arrived, rewound, exactly as the sender wrote it.
  virtual void OnMessage(CMemoryStream& stream, bool raw) {
    (void)stream;
    (void)raw;
  }
  // A read failed, or the peer sent bytes that break the framing rules.
  virtual void OnTransferError() {}
  // An acknowledgement (or its time-out) for a message this sink waits on.
  virtual void OnAckResult(const CNetMsgAckResult& result) { (void)result; }
};

// Non-owning list of sinks.
using CSocketNotificationSinkList = std::vector<CSocketNotificationSink*>;
