// The net engine creates messages from their type numbers, numbers the ones
// it creates for sending (serials from 1), and keeps the queue of messages
// that await an acknowledgement with their time-outs. It reads time from a
// clock seam, so that tests can drive time-outs to the millisecond.
//
// The registry maps type numbers to message classes by wx run-time class
// information, each class named by a direct reference; a type it does not
// know is created as CGenericMsg.
#pragma once

#include "net/NetMsgAckResult.h"
#include "net/SocketNotificationSink.h"

#include <wx/object.h>

#include <memory>
#include <unordered_map>
#include <vector>

class CClock;
class CMsgAckMsg;
class CRemoteConnection;
class CRequestMsg;
class wxClassInfo;

// One message waiting for its acknowledgement.
struct CNetMsgAckEntry {
  wxInt32 type = -1;
  wxUint32 serial = 0;
  wxUint32 timeout = 0;
  wxUint32 start = 0;
  wxUint32 values[3] = {0, 0, 0};
  CSocketNotificationSink* sinkA = nullptr;
  CSocketNotificationSink* sinkB = nullptr;
};

using CNetMsgAckQueue = std::vector<std::unique_ptr<CNetMsgAckEntry>>;

class CNetEngine : public wxObject {
 public:
  // `clock` (not owned) defaults to the system clock.
  explicit CNetEngine(CClock* clock = nullptr);
  ~CNetEngine() override;

  CNetEngine(const CNetEngine&) = delete;
  CNetEngine& operator=(const CNetEngine&) = delete;

  CClock& GetClock() const { return *m_clock; }
  void SetClock(CClock* clock);

  // Enters `info` (a class derived from CMsgBase) for `type`.
  bool Register(wxInt32 type, wxClassInfo* info);
  // Enters the program's table of message types. The classes of the layers
  // above this one (net job packet, render-system data) are those handed in
  // through AddMessageClass; until then their types fall back to CGenericMsg.
  bool RegisterAll();
  // Hands in the class of a message type owned by a layer above this one, for
  // every engine that registers afterwards. Process-wide.
  static void AddMessageClass(wxInt32 type, wxClassInfo* info);
  void UnregisterAll() { m_registry.clear(); }
  bool IsRegistered(wxInt32 type) const { return m_registry.count(type) != 0; }

  // A new message of `type` with the next serial; null when it cannot be made.
  std::unique_ptr<CMsgBase> CreateForSend(wxInt32 type);
  // Gives a message made elsewhere (a net job packet built before it is
  // sent) the next serial, as CreateForSend does.
  void AssignSerial(CMsgBase* message);
  // A new message of `type` for reading a received one.
  std::unique_ptr<CMsgBase> Create(wxInt32 type);
  wxUint32 GetNextSerial() const { return m_nextSerial; }

  // Starts waiting for the acknowledgement of `message` from now on.
  void AddAck(const CMsgBase* message, CSocketNotificationSink* sinkA,
              CSocketNotificationSink* sinkB, wxUint32 timeout, wxUint32 value1 = 0,
              wxUint32 value2 = 0, wxUint32 value3 = 0);
  // Reports a time-out for every entry older than its time-out (strictly).
  void CheckAckTimeouts();
  // Milliseconds from now until the first entry times out (0 when one is
  // already due); false when nothing waits.
  bool GetNextAckDue(wxUint32* ms) const;
  // Forgets the entry of a message that is no longer waited for.
  bool RemoveAck(wxInt32 type, wxUint32 serial);
  // Forgets `sink` in every entry, and entries left without sinks.
  void RemoveAcksFor(CSocketNotificationSink* sink);
  const CNetMsgAckQueue& GetAckQueue() const { return m_ackQueue; }

  // Reports an acknowledgement to the sinks of every matching entry and
  // removes the first match; one that matches nothing is ignored.
  void HandleAck(CMsgAckMsg* ack);
  // Answers a request with a message of the requested type (see
  // CRemoteConnection::HandleRequest).
  void HandleRequest(CRequestMsg* request, CRemoteConnection* connection);
  // A new acknowledgement of `message`; `attached` (not taken over) is
  // serialized into its data. Null when it cannot be made.
  std::unique_ptr<CMsgAckMsg> CreateAck(const CMsgBase* message, bool result,
                                        const wxString& text, wxUint32 value1, wxUint32 value2,
                                        wxUint32 value3, CMsgBase* attached);
  // The message held in an acknowledgement's data, or null.
  std::unique_ptr<CMsgBase> DecodeAttached(const CMsgAckMsg& ack);
  // The same read in place from `data` (data bytes of an acknowledgement
  // whose attached message is of `type`).
  std::unique_ptr<CMsgBase> DecodeAttached(wxInt32 type, CMemoryStream& data);

 private:
  std::unique_ptr<CMsgBase> Make(wxInt32 type);

  CClock* m_clock;
  wxUint32 m_nextSerial = 1;
  std::unordered_map<wxInt32, wxClassInfo*> m_registry;
  CNetMsgAckQueue m_ackQueue;
};
