// One event: a name ("CRSGroup::evGroupDeleted": the raising class, "::",
// "ev" and the happening), named arguments, a stop flag that a handler sets
// to end the dispatch, and the identity of the object that raised it.
//
// Raising, on the one thread of the program:
//
//   UEvent event(kEvGroupDeleted, this);       // source: the raising object
//   event.Raise();                             // to the global queue
//
//   UEvent msgEvent(NetMsgEventName(msg->GetType()), this);
//   msgEvent.Args().SetPointer(wxT("Message"), msg);   // stored as CMsgBase*
//   msgEvent.Raise();
//
// Handlers run before Raise returns and receive the event by reference; they
// may read and add arguments, set the stop flag, raise further events and
// subscribe or unsubscribe (see UEventQueue and CEventObject).
#pragma once

#include <wx/string.h>

#include <cstdint>

#include "settings/EventArgs.h"

class UEventQueue;

// The identity of an object as raiser (source) or subscriber (owner): its
// address. Raise with `this` of the raising class and filter with a pointer
// of that same class, so that the two addresses compare equal.
using UEventSource = const void*;

class UEvent {
 public:
  explicit UEvent(const wxString& name, UEventSource source = nullptr);

  UEvent(const UEvent&) = delete;
  UEvent& operator=(const UEvent&) = delete;

  const wxString& GetName() const { return m_name; }
  UEventSource GetSource() const { return m_source; }
  UEventArgs& Args() { return m_args; }
  const UEventArgs& Args() const { return m_args; }

  // Set by a handler: no later subscriber sees this event.
  void Stop() { m_stop = true; }
  bool IsStopped() const { return m_stop; }

  // Dispatches the event at once through `queue`, or through the global queue
  // (UEventQueue::Global()) when none is given, and returns the last handler's result
  // (0 when no handler ran). With no queue at all nothing is delivered and the
  // result is 1.
  uint32_t Raise(UEventQueue* queue = nullptr);

 private:
  wxString m_name;
  UEventArgs m_args;
  bool m_stop = false;
  UEventSource m_source;
};

// Event names of the program.
inline constexpr const wxChar* kEvNone = wxT("UEvent::evNone");  // also "every name"
inline constexpr const wxChar* kEvDataExported = wxT("CRSDataExport::evDataExported");
inline constexpr const wxChar* kEvDataImported = wxT("CRSDataImport::evDataImported");
inline constexpr const wxChar* kEvGroupCreated = wxT("CRSGroup::evGroupCreated");
inline constexpr const wxChar* kEvGroupEdited = wxT("CRSGroup::evGroupEdited");
inline constexpr const wxChar* kEvGroupDeleted = wxT("CRSGroup::evGroupDeleted");
inline constexpr const wxChar* kEvPoolLoaded = wxT("CRSPool::evPoolLoaded");
inline constexpr const wxChar* kEvPoolUnloaded = wxT("CRSPool::evPoolUnloaded");
inline constexpr const wxChar* kEvRendererCreated = wxT("CRSRenderer::evRendererCreated");
inline constexpr const wxChar* kEvRendererEdited = wxT("CRSRenderer::evRendererEdited");
inline constexpr const wxChar* kEvRendererDeleted = wxT("CRSRenderer::evRendererDeleted");
inline constexpr const wxChar* kEvVersionCreated = wxT("CRSVersion::evVersionCreated");
inline constexpr const wxChar* kEvVersionEdited = wxT("CRSVersion::evVersionEdited");
inline constexpr const wxChar* kEvVersionDeleted = wxT("CRSVersion::evVersionDeleted");

// "evNetMsg::<type>": the event raised for a received message of that type,
// with the argument "Message" holding the message as a pointer.
wxString NetMsgEventName(int messageType);
inline constexpr const wxChar* kNetMsgArgMessage = wxT("Message");
