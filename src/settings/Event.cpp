#include "settings/Event.h"

#include "settings/EventQueue.h"

UEvent::UEvent(const wxString& name, UEventSource source) : m_name(name), m_source(source) {}

uint32_t UEvent::Raise(UEventQueue* queue) {
  if (queue == nullptr) queue = UEventQueue::Global();
  if (queue == nullptr) return 1;
  return queue->Dispatch(*this);
}

wxString NetMsgEventName(int messageType) {
  return wxString::Format(wxT("evNetMsg::%i"), messageType);
}
