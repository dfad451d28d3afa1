// The client socket of one TCP connection to the server. It cuts outgoing
// messages into frames of at most 16384 bytes (or writes a raw-flagged message
// as one unit), keeps what the network cannot take yet in pending output so
// that bytes leave in the order they were sent, reassembles incoming frames
// into whole messages and hands them to its sinks. It has no thread: the wait
// loops of the connection poll it, and block in WaitForActivity until the
// socket has something to do or their next deadline is due.
//
// All system calls go through the protected Io* operations, so that a test
// can derive a socket that runs without a network.
#pragma once

#include "net/BaseSocketMsg.h"
#include "net/BaseSocketMsgReceiver.h"
#include "net/SocketNotificationSink.h"

#include <wx/socket.h>

#include <deque>
#include <memory>

class CMsgBase;

class CBaseSocket : public wxSocketClient {
 public:
  static constexpr long kTimeoutSeconds = 30;
  static constexpr wxUint32 kReadSize = 16384;
  // Frames handed to the system in one write.
  static constexpr wxUint32 kFramesPerWrite = 16;
  // Reasons of a failed connect that wxWidgets has no code for, kept in the
  // same error field as its codes.
  static constexpr int kErrorRefused = 1001;
  static constexpr int kErrorNoRoute = 1002;

  CBaseSocket();
  ~CBaseSocket() override;

  CBaseSocket(const CBaseSocket&) = delete;
  CBaseSocket& operator=(const CBaseSocket&) = delete;

  // Sets the 30-second time-out and creates the receive stream; true when
  // already done before.
  bool Initialise();
  // Resolves `host` and connects, waiting at most the socket time-out. Refuses
  // at once (opening nothing) an empty host or a port below 1024.
  using wxSocketClient::Connect;
  bool Connect(const wxString& host, int port);
  // Closes the connection and drops the receive stream.
  void Shutdown();

  // Wait-all sends and receives everything at once (bounded by the time-out);
  // otherwise the socket never blocks.
  void SetWaitAll(bool waitAll);
  bool GetWaitAll() const { return m_waitAll; }

  // Adds `sink` unless it is already listening.
  bool AddSink(CSocketNotificationSink* sink);
  void RemoveSink(CSocketNotificationSink* sink);

  // Host name and port of the peer, for log lines.
  using wxSocketBase::GetPeer;
  bool GetPeer(wxString& host, int& port);

  // Serializes and sends `message` (not taken over). False only when it
  // cannot be serialized; a null message sends nothing.
  bool SendMsg(CMsgBase* message);
  // Sends the serialized bytes of a message: framed with `serial`, or as one
  // unit when `raw`. What the network cannot take now keeps the stream.
  bool SendSerialized(std::unique_ptr<CMemoryStream> bytes, bool raw, wxUint32 serial);

  // Handles what the socket reports without waiting: a lost connection,
  // readable data, room to write. True when no socket error is pending.
  bool Poll();
  // Blocks until the socket can be read, can take pending output, or is lost,
  // or until `ms` milliseconds have passed.
  void WaitForActivity(wxUint32 ms);

  bool IsInitialised() const { return m_initialised; }
  // Whether a connection is established and not yet lost or shut down.
  bool HasConnection() const { return m_connected; }
  bool IsReading() const { return m_reading; }
  bool IsWriting() const { return m_writing; }
  // True while the socket is inside one of its own operations (and must not
  // be destroyed by a sink it notifies).
  bool IsBusy() const { return m_reading || m_writing || m_polling; }
  bool HasPendingOutput() const { return !m_pending.empty(); }
  wxUint64 GetPendingBytes() const;

  // Code of the last socket error (the wxSocketError numbering), 0 for none.
  int GetSocketError() const { return m_error; }
  wxString GetSocketErrorText() const { return ErrorText(m_error); }
  // Text of a socket error code; empty for 0 and for unknown codes.
  static wxString ErrorText(int code);

  // Notification slots.
  virtual void OnConnection(int error);
  virtual void OnLost(int error);
  virtual void OnInput(int error);
  virtual void OnOutput(int error);
  // Walks through received bytes: frame lengths, frames, whole messages.
  virtual void ProcessReceived(const wxUint8* bytes, wxUint32 count);

  size_t GetIncompleteMessages() const { return m_receiver.GetQueueCount(); }

  // Ends a connection whose peer broke the rules or whose read failed: the
  // sinks hear of a transfer error and nothing more is read.
  void FailTransfer(int error);

 protected:
  // Connects to `host`:`port`, waiting at most the time-out; sets `error`.
  virtual bool IoConnect(const wxString& host, unsigned short port, int* error);
  // Reads at most `size` bytes without blocking (unless wait-all). `closed`
  // is set when the peer has ended the stream.
  virtual wxUint32 IoRead(void* buffer, wxUint32 size, int* error, bool* closed);
  // Writes what the socket takes now (everything when wait-all).
  virtual wxUint32 IoWrite(const void* buffer, wxUint32 size, int* error);
  // Tests the socket without waiting.
  virtual void IoTest(bool* lost, bool* readable, bool* writable);
  // Blocks at most `ms` until readable (or writable when `forWrite`) or lost.
  virtual void IoWait(wxUint32 ms, bool forWrite);
  virtual void IoClose();

 private:
  // Waits at most `timeoutMs` for a connect under way to end: 0 when it
  // succeeded, else the system's reason (ETIMEDOUT when it did not end).
  int WaitForConnect(long timeoutMs);
  // The error code kept for the system's reason of a failed connect.
  static int ConnectErrorFor(int systemError);

  // A message on its way out: its serialized bytes, cut into frames as they
  // are written (a raw one is a single unit).
  struct PendingUnit {
    std::unique_ptr<CMemoryStream> bytes;
    bool raw = false;
    wxUint32 serial = 0;
    wxUint32 parts = 0;
    wxUint32 part = 0;  // first frame not yet written completely
    wxUint32 sent = 0;  // bytes written of the batch that starts at `part`
  };
  enum WriteResult { kWritten, kBlocked, kFailed };

  void ApplyFlags();
  // Writes as much of `unit` as the socket takes.
  WriteResult WriteUnit(PendingUnit& unit);
  // Builds the frames from `unit.part` on into the send buffer (several per
  // system call); false when memory fails.
  bool BuildBatch(const PendingUnit& unit);
  // A copy, so that a sink may add or remove sinks while being notified.
  CSocketNotificationSinkList SinksCopy() const { return m_sinks; }

  CBaseSocketMsgReceiver m_receiver;
  CSocketNotificationSinkList m_sinks;
  std::deque<PendingUnit> m_pending;
  std::unique_ptr<CBaseSocketMsg> m_receiveStream;
  CBaseSocketMsg m_sendFrame;
  CMemoryStream m_sendBatch{CMemoryStream::kWrite, kFramesPerWrite * CBaseSocketMsg::kMaxFrameSize};
  std::unique_ptr<wxUint8[]> m_readBuffer;
  wxUint32 m_frameRemainder = 0;
  int m_error = 0;
  bool m_initialised = false;
  bool m_connected = false;
  bool m_reading = false;
  bool m_writing = false;
  bool m_polling = false;
  bool m_peerClosed = false;
  int m_lostError = 0;  // a write failed: the next poll reports the loss
  bool m_waitAll = false;
  bool m_previousWaitAll = false;
};
