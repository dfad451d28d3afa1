#include "net/BaseSocket.h"

#include "net/MsgBase.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <new>

namespace {

bool IsHardError(int error) { return error != wxSOCKET_NOERROR && error != wxSOCKET_WOULDBLOCK; }

}  // namespace

CBaseSocket::CBaseSocket() : wxSocketClient(wxSOCKET_NOWAIT) { ApplyFlags(); }

CBaseSocket::~CBaseSocket() { Shutdown(); }

bool CBaseSocket::Initialise() {
  if (m_initialised) return true;
  SetTimeout(kTimeoutSeconds);
  auto stream = std::make_unique<CBaseSocketMsg>();
  if (!stream->IsValid()) return false;
  m_receiveStream = std::move(stream);
  if (!m_readBuffer) m_readBuffer.reset(new (std::nothrow) wxUint8[kReadSize]);
  if (!m_readBuffer) return false;
  m_frameRemainder = 0;
  m_initialised = true;
  return true;
}

bool CBaseSocket::Connect(const wxString& host, int port) {
  if (host.empty() || port < 1024 || port > 65535) return false;
  if (!Initialise()) return false;
  m_peerClosed = false;
  m_lostError = 0;
  m_frameRemainder = 0;
  m_receiveStream->Clear();
  int error = 0;
  m_connected = IoConnect(host, static_cast<unsigned short>(port), &error);
  m_error = m_connected ? 0 : (error ? error : int(wxSOCKET_IOERR));
  return m_connected;
}

void CBaseSocket::Shutdown() {
  if (!m_initialised) return;
  m_initialised = false;
  m_connected = false;
  IoClose();
  m_receiveStream.reset();
  m_frameRemainder = 0;
}

void CBaseSocket::SetWaitAll(bool waitAll) {
  m_previousWaitAll = m_waitAll;
  m_waitAll = waitAll;
  ApplyFlags();
}

void CBaseSocket::ApplyFlags() {
  // No-wait and wait-all are never combined with block: together they make
  // the socket blocking and ignore the time-out.
  SetFlags(m_waitAll ? wxSOCKET_WAITALL : wxSOCKET_NOWAIT);
}

bool CBaseSocket::AddSink(CSocketNotificationSink* sink) {
  if (!sink) return false;
  if (std::find(m_sinks.begin(), m_sinks.end(), sink) == m_sinks.end()) m_sinks.push_back(sink);
  return true;
}

void CBaseSocket::RemoveSink(CSocketNotificationSink* sink) {
  m_sinks.erase(std::remove(m_sinks.begin(), m_sinks.end(), sink), m_sinks.end());
}

bool CBaseSocket::GetPeer(wxString& host, int& port) {
  if (!IsOk()) return false;
  wxIPV4address peer;
  if (!wxSocketBase::GetPeer(peer)) return false;
  host = peer.IPAddress();
  port = peer.Service();
  return true;
}

wxString CBaseSocket::ErrorText(int code) {
  switch (code) {
    case wxSOCKET_INVOP: return wxT("Invalid operation");
    case wxSOCKET_IOERR: return wxT("Input/Output error");
    case wxSOCKET_INVADDR: return wxT("Invalid address passed");
    case wxSOCKET_INVSOCK: return wxT("Invalid socket (uninitialized)");
    case wxSOCKET_NOHOST: return wxT("Unknown host");
    case wxSOCKET_INVPORT: return wxT("Invalid port");
    case wxSOCKET_WOULDBLOCK:
      return wxT("The socket is non-blocking and the operation would block");
    case wxSOCKET_TIMEDOUT: return wxT("The timeout for this operation expired");
    case wxSOCKET_MEMERR: return wxT("Memory exhausted");
    case kErrorRefused: return wxT("Connection refused");
    case kErrorNoRoute: return wxT("No route to host");
    default: return wxString();
  }
}

// --- sending ---------------------------------------------------------------

bool CBaseSocket::SendMsg(CMsgBase* message) {
  if (!message) return true;
  auto out = std::make_unique<CMemoryStream>(CMemoryStream::kWrite);
  if (!out->IsValid() || !message->Serialize(*out)) return false;
  return SendSerialized(std::move(out), message->IsRaw(), message->GetSerial());
}

bool CBaseSocket::SendSerialized(std::unique_ptr<CMemoryStream> bytes, bool raw, wxUint32 serial) {
  if (!bytes || bytes->Size() == 0) return true;
  PendingUnit unit;
  unit.raw = raw;
  unit.serial = serial;
  unit.parts = raw ? 1 : CBaseSocketMsg::PartsFor(bytes->Size());
  unit.bytes = std::move(bytes);
  m_writing = true;
  bool ok = true;
  // Once anything waits, everything after it waits too: the wire sees the
  // bytes in the order of the calls.
  if (m_pending.empty()) {
    const WriteResult result = WriteUnit(unit);
    if (result == kBlocked) m_pending.push_back(std::move(unit));
    // A failed write abandons the rest of the message; the next poll
    // reports the loss of the connection.
    ok = result != kFailed || m_error != wxSOCKET_MEMERR;
  } else {
    m_pending.push_back(std::move(unit));
  }
  m_writing = false;
  return ok;
}

bool CBaseSocket::BuildBatch(const PendingUnit& unit) {
  const wxUint32 size = unit.bytes->Size();
  const wxUint32 last = std::min(unit.parts, unit.part + kFramesPerWrite);
  m_sendBatch.Clear();
  for (wxUint32 i = unit.part; i < last; ++i) {
    const wxUint32 offset = i * CBaseSocketMsg::kMaxPayload;
    const wxUint32 length = std::min(CBaseSocketMsg::kMaxPayload, size - offset);
    if (!m_sendFrame.Build(unit.serial, i, unit.parts, unit.bytes->Data() + offset, length) ||
        !m_sendBatch.Write(m_sendFrame.Data(), m_sendFrame.Size()))
      return false;
  }
  return true;
}

CBaseSocket::WriteResult CBaseSocket::WriteUnit(PendingUnit& unit) {
  while (unit.part < unit.parts) {
    const wxUint8* data = unit.bytes->Data();
    wxUint32 length = unit.bytes->Size();
    wxUint32 frames = 1;
    if (!unit.raw) {
      if (!BuildBatch(unit)) {
        m_error = wxSOCKET_MEMERR;
        m_lostError = wxSOCKET_MEMERR;
        return kFailed;
      }
      data = m_sendBatch.Data();
      length = m_sendBatch.Size();
      frames = std::min(unit.parts - unit.part, kFramesPerWrite);
    }
    int error = 0;
    const wxUint32 rest = length - unit.sent;
    const wxUint32 written = std::min(IoWrite(data + unit.sent, rest, &error), rest);
    unit.sent += written;
    if (written == rest) {
      unit.part += frames;
      unit.sent = 0;
      continue;
    }
    if (IsHardError(error)) {
      m_error = error;
      m_lostError = error;
      return kFailed;
    }
    return kBlocked;
  }
  return kWritten;
}

wxUint64 CBaseSocket::GetPendingBytes() const {
  wxUint64 total = 0;
  for (const PendingUnit& unit : m_pending) {
    const wxUint64 size = unit.bytes->Size();
    const wxUint64 wire =
        unit.raw ? size : size + wxUint64(CBaseSocketMsg::kHeaderSize) * unit.parts;
    total += wire - wxUint64(unit.part) * CBaseSocketMsg::kMaxFrameSize - unit.sent;
  }
  return total;
}

void CBaseSocket::OnOutput(int error) {
  if (IsHardError(error)) return;
  m_writing = true;
  while (!m_pending.empty()) {
    const WriteResult result = WriteUnit(m_pending.front());
    if (result == kBlocked) break;
    m_pending.pop_front();
    if (result == kFailed) break;
  }
  m_writing = false;
}

// --- receiving -------------------------------------------------------------

bool CBaseSocket::Poll() {
  if (!m_initialised || !m_connected) return !IsHardError(m_error);
  m_polling = true;
  const int error = IsHardError(m_error) ? m_error : 0;
  bool lost = m_peerClosed || m_lostError != 0;
  bool readable = false;
  bool writable = false;
  if (!lost) IoTest(&lost, &readable, &writable);
  int lostError = m_lostError ? m_lostError : (error ? error : int(wxSOCKET_IOERR));
  if (!lost) {
    if (readable) OnInput(error);
    if (writable && m_connected && !m_peerClosed) OnOutput(error);
    lost = m_connected && (m_peerClosed || m_lostError != 0);
    if (m_lostError) lostError = m_lostError;
  }
  // A peer that ended the stream in order is a loss without an error.
  if (lost) OnLost(m_peerClosed ? 0 : lostError);
  m_polling = false;
  return !IsHardError(m_error);
}

void CBaseSocket::WaitForActivity(wxUint32 ms) {
  if (!m_initialised || !m_connected || m_peerClosed || m_lostError) return;
  IoWait(ms, !m_pending.empty());
}

void CBaseSocket::OnConnection(int error) {
  m_connected = error == 0;
  if (!m_connected) m_error = error;
  for (CSocketNotificationSink* sink : SinksCopy()) {
    if (m_connected)
      sink->OnConnected();
    else
      sink->OnConnectFailed();
  }
}

void CBaseSocket::OnLost(int error) {
  IoClose();
  m_connected = false;
  m_lostError = 0;
  for (CSocketNotificationSink* sink : SinksCopy()) sink->OnDisconnected(error);
}

void CBaseSocket::OnInput(int error) {
  if (!m_initialised || !m_connected || error) return;
  m_reading = true;
  int readError = 0;
  bool closed = false;
  const wxUint32 count = IoRead(m_readBuffer.get(), kReadSize, &readError, &closed);
  if (closed) {
    m_peerClosed = true;
    IoClose();
  } else if (IsHardError(readError)) {
    FailTransfer(readError);
  } else if (count > 0) {
    ProcessReceived(m_readBuffer.get(), std::min(count, kReadSize));
  }
  m_reading = false;
}

void CBaseSocket::FailTransfer(int error) {
  m_error = error;
  for (CSocketNotificationSink* sink : SinksCopy()) sink->OnTransferError();
  // Nothing more is read from a stream whose framing is lost.
  IoClose();
  m_connected = false;
  m_frameRemainder = 0;
  if (m_receiveStream) m_receiveStream->Clear();
}

void CBaseSocket::ProcessReceived(const wxUint8* bytes, wxUint32 count) {
  if (!m_receiveStream) return;
  const bool wasReading = m_reading;
  m_reading = true;
  CBaseSocketMsg& frame = *m_receiveStream;
  while (count > 0 && m_connected) {
    if (m_frameRemainder == 0) {
      // The next bytes are a frame length, perhaps split across reads.
      const wxUint32 take = std::min<wxUint32>(4 - frame.Size(), count);
      frame.Write(bytes, take);
      bytes += take;
      count -= take;
      if (frame.Size() < 4) break;
      const wxUint32 length = frame.PeekLength();
      if (length < CBaseSocketMsg::kHeaderSize || length > CBaseSocketMsg::kMaxFrameSize) {
        FailTransfer(wxSOCKET_IOERR);
        break;
      }
      m_frameRemainder = length - 4;
      continue;
    }
    const wxUint32 take = std::min(m_frameRemainder, count);
    frame.Write(bytes, take);
    bytes += take;
    count -= take;
    m_frameRemainder -= take;
    if (m_frameRemainder > 0) break;

    frame.DecodeHeader();
    std::unique_ptr<CMemoryStream> whole;
    const CBaseSocketMsgReceiver::Result result = m_receiver.Receive(frame, &whole);
    frame.Clear();
    if (result == CBaseSocketMsgReceiver::kRejected) {
      FailTransfer(wxSOCKET_IOERR);
      break;
    }
    if (result == CBaseSocketMsgReceiver::kComplete) {
      for (CSocketNotificationSink* sink : SinksCopy()) {
        whole->Rewind();
        sink->OnMessage(*whole, false);
      }
    }
  }
  m_reading = wasReading;
}

// --- system calls ----------------------------------------------------------

bool CBaseSocket::IoConnect(const wxString& host, unsigned short port, int* error) {
  wxIPV4address address;
  // An unknown host must not leave the address at 0.0.0.0 (a local server).
  if (!address.Hostname(host)) {
    *error = wxSOCKET_NOHOST;
    return false;
  }
  if (!address.Service(port)) {
    *error = wxSOCKET_INVPORT;
    return false;
  }
  // Started without waiting: wxWidgets reports every failed connect as a
  // time-out, so the wait and the reason are read from the socket here.
  bool ok = wxSocketClient::Connect(address, false);
  if (!ok) {
    const int started = errno;
    if (!IsOk() || LastError() != wxSOCKET_WOULDBLOCK) {
      *error = ConnectErrorFor(started);
      return false;
    }
    const int reason = WaitForConnect(GetTimeout() * 1000L);
    if (reason != 0) {
      *error = ConnectErrorFor(reason);
      return false;
    }
    ok = WaitOnConnect(0, 0) && IsConnected();
    if (!ok) {
      *error = int(wxSOCKET_IOERR);
      return false;
    }
  }
  *error = int(wxSOCKET_NOERROR);
  // The protocol is a chain of small messages, each waiting for its
  // acknowledgement: send them at once instead of holding them back.
  int on = 1;
  SetOption(IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
  return true;
}

int CBaseSocket::WaitForConnect(long timeoutMs) {
  const int fd = static_cast<int>(GetSocket());
  const auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        due - std::chrono::steady_clock::now());
    pollfd p = {fd, POLLOUT, 0};
    const int ready =
        ::poll(&p, 1, left.count() > 0 ? int(std::min<long long>(left.count(), INT_MAX)) : 0);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return errno;
    if (ready == 0) return ETIMEDOUT;
    int reason = 0;
    socklen_t length = sizeof(reason);
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &reason, &length) != 0) return errno;
    return reason;
  }
}

int CBaseSocket::ConnectErrorFor(int systemError) {
  switch (systemError) {
    case ECONNREFUSED: return kErrorRefused;
    case EHOSTUNREACH:
    case ENETUNREACH: return kErrorNoRoute;
    case ETIMEDOUT: return wxSOCKET_TIMEDOUT;
    default: return wxSOCKET_IOERR;
  }
}

wxUint32 CBaseSocket::IoRead(void* buffer, wxUint32 size, int* error, bool* closed) {
  if (!IsOk()) {
    *error = wxSOCKET_INVSOCK;
    return 0;
  }
  Read(buffer, size);
  const wxUint32 count = LastReadCount();
  if (count == 0 && IsClosed()) {
    *closed = true;
    *error = wxSOCKET_NOERROR;
    return 0;
  }
  *error = count > 0 ? int(wxSOCKET_NOERROR) : int(LastError());
  return count;
}

wxUint32 CBaseSocket::IoWrite(const void* buffer, wxUint32 size, int* error) {
  if (!IsOk() || !m_connected) {
    *error = wxSOCKET_INVSOCK;
    return 0;
  }
  Write(buffer, size);
  const wxUint32 count = LastWriteCount();
  *error = count == size ? int(wxSOCKET_NOERROR) : int(LastError());
  return count;
}

void CBaseSocket::IoTest(bool* lost, bool* readable, bool* writable) {
  if (!IsOk() || GetSocket() == wxSOCKET_T(-1)) {
    *lost = true;
    return;
  }
  pollfd fd = {static_cast<int>(GetSocket()), POLLIN | POLLOUT, 0};
  if (::poll(&fd, 1, 0) <= 0) return;
  *readable = (fd.revents & POLLIN) != 0;
  *writable = (fd.revents & POLLOUT) != 0;
  // A hang-up with data still to read is reported by the read that ends it.
  *lost = (fd.revents & (POLLERR | POLLNVAL)) || ((fd.revents & POLLHUP) && !*readable);
}

void CBaseSocket::IoWait(wxUint32 ms, bool forWrite) {
  if (!IsOk() || GetSocket() == wxSOCKET_T(-1)) return;
  pollfd fd = {static_cast<int>(GetSocket()), short(POLLIN | (forWrite ? POLLOUT : 0)), 0};
  ::poll(&fd, 1, ms > wxUint32(INT_MAX) ? INT_MAX : int(ms));
}

void CBaseSocket::IoClose() {
  if (IsOk()) Close();
}
