// Helpers of the transport tests: a socket that runs without a network on a
// settable clock, a recording sink, and a message with a body of given bytes.
#pragma once

#include "net/BaseSocket.h"
#include "net/GenericMsg.h"
#include "platform/ManualClock.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

// A message whose body is exactly the given bytes.
class CBlobMsg : public CGenericMsg {
 public:
  CBlobMsg() { SetType(77); }
  explicit CBlobMsg(std::string body) : m_body(std::move(body)) { SetType(77); }

  bool WriteBody(CMemoryStream& stream) const override {
    return stream.Write(m_body.data(), static_cast<wxUint32>(m_body.size()));
  }
  bool ReadBody(CMemoryStream& stream) override {
    wxUint32 count = 0;
    const wxUint8* rest = stream.Remaining(&count);
    m_body.assign(reinterpret_cast<const char*>(rest), count);
    stream.Skip(count);
    return true;
  }

 private:
  std::string m_body;
  wxDECLARE_DYNAMIC_CLASS(CBlobMsg);
};

// The serialized bytes of a message.
std::string SerializeToString(CMsgBase& message);
// Reads `message` back from its serialized bytes.
bool Deserialize(CMsgBase& message, const std::string& bytes);
// One frame as it goes on the wire.
std::string Frame(wxUint32 serial, wxUint32 index, wxUint32 count, const std::string& payload);
// The frames of a serialized message.
std::string Framed(const std::string& serialized, wxUint32 serial);
// A little-endian 32-bit value.
std::string U32(wxUint32 value);
wxUint32 ReadU32(const std::string& bytes, size_t offset);

// A socket without a network. Bytes to be read are queued in `incoming` (a
// read takes from one chunk at most); `arrivals` hold bytes that come in at a
// given clock time, and a wait moves the clock to the next arrival or to its end.
class CFakeSocket : public CBaseSocket {
 public:
  explicit CFakeSocket(CManualClock* clock = nullptr) : m_clock(clock) {}

  std::string written;
  std::deque<std::string> incoming;
  std::multimap<wxUint32, std::string> arrivals;
  wxUint32 writeBudget = 0xFFFFFFFFu;  // bytes taken before writes would block
  int writeError = 0;                  // a hard error for the next write
  bool peerClosesAfterIncoming = false;
  bool closed = false;
  int waits = 0;
  std::vector<wxUint32> waitRequests;

  // Delivers `bytes` when the clock reaches `at`.
  void ArriveAt(wxUint32 at, const std::string& bytes) { arrivals.emplace(at, bytes); }

 protected:
  bool IoConnect(const wxString&, unsigned short, int* error) override {
    *error = 0;
    return true;
  }
  wxUint32 IoRead(void* buffer, wxUint32 size, int* error, bool* peerClosed) override;
  wxUint32 IoWrite(const void* buffer, wxUint32 size, int* error) override;
  void IoTest(bool* lost, bool* readable, bool* writable) override;
  void IoWait(wxUint32 ms, bool forWrite) override;
  void IoClose() override { closed = true; }

 private:
  void DeliverDue();
  CManualClock* m_clock;
};

// Records what a socket tells its sinks.
class CRecordingSink : public CSocketNotificationSink {
 public:
  std::vector<std::string> messages;
  int transferErrors = 0;
  std::vector<int> disconnects;

  void OnMessage(CMemoryStream& stream, bool) override {
    messages.emplace_back(reinterpret_cast<const char*>(stream.Data()), stream.Size());
  }
  void OnTransferError() override { ++transferErrors; }
  void OnDisconnected(int error) override { disconnects.push_back(error); }
};
