#include "net/NetMsgMap.h"

void CNetMsgMap::Register(wxInt32 type, NetMsgHandler handler) {
  CNetMsgMapAssoc& handlers = m_handlers[type];
  if (handler) handlers.push_back(handler);
}

bool CNetMsgMap::Dispatch(wxInt32 type, CMsgBase* message) {
  auto it = m_handlers.find(type);
  if (it == m_handlers.end()) return false;
  // A copy: a handler may register further handlers.
  const CNetMsgMapAssoc handlers = it->second;
  for (NetMsgHandler handler : handlers) handler(m_owner, message);
  return true;
}
