// The dispatch map of one connection: for each message type number, the
// handler functions to call, in the order they were registered. A handler is
// a plain function taking the owning connection and the message; the map owns
// neither.
#pragma once

#include <wx/object.h>

#include <map>
#include <vector>

class CMsgBase;
class CRemoteConnection;

using NetMsgHandler = void (*)(CRemoteConnection* owner, CMsgBase* message);

// The handlers of one type.
using CNetMsgMapAssoc = std::vector<NetMsgHandler>;

class CNetMsgMap : public wxObject {
 public:
  void SetOwner(CRemoteConnection* owner) { m_owner = owner; }
  CRemoteConnection* GetOwner() const { return m_owner; }

  // Appends `handler` to the handlers of `type`.
  void Register(wxInt32 type, NetMsgHandler handler);
  // Calls every handler of `type` in order; false when the type has no entry.
  bool Dispatch(wxInt32 type, CMsgBase* message);
  bool Has(wxInt32 type) const { return m_handlers.count(type) != 0; }
  void Clear() { m_handlers.clear(); }

 private:
  CRemoteConnection* m_owner = nullptr;
  std::map<wxInt32, CNetMsgMapAssoc> m_handlers;
};
