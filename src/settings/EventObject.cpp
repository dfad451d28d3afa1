#include "settings/EventObject.h"

CEventObject::~CEventObject() {
  if (UEventQueue* queue = UEventQueue::Global()) queue->UnsubscribeAll(GetEventIdentity());
}

bool CEventObject::Subscribe(const wxString& name, UEventHandler handler,
                             UEventSource sourceFilter) {
  UEventQueue* queue = UEventQueue::Global();
  if (queue == nullptr) return false;
  return queue->Subscribe(GetEventIdentity(), name, std::move(handler), sourceFilter);
}

bool CEventObject::Unsubscribe(const wxString& name) {
  UEventQueue* queue = UEventQueue::Global();
  if (queue == nullptr) return false;
  return queue->Unsubscribe(GetEventIdentity(), name);
}
