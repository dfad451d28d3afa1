// Mix-in base of every object that subscribes to events on the global queue
// (UEventQueue::Global()). Its identity keys the object's subscriptions, and its
// destructor removes them all, so a destroyed object is never called.
//
//   class CRSRenderer : public CRSObject, public CEventObject {
//     CRSRenderer(CRSGroup* group) {
//       // Only the deletion of our own group concerns us.
//       Subscribe(kEvGroupDeleted, &CRSRenderer::OnGroupDeleted, group);
//     }
//     uint32_t OnGroupDeleted(UEvent& event);
//   };
//
// Every operation does nothing and returns false while there is no global
// queue (before its owner sets it and after it is reset).
#pragma once

#include <wx/string.h>

#include <cstdint>

#include "settings/EventQueue.h"

class CEventObject {
 public:
  CEventObject() = default;
  // A copy is a new subscriber with no subscriptions of its own.
  CEventObject(const CEventObject&) {}
  CEventObject& operator=(const CEventObject&) { return *this; }
  virtual ~CEventObject();

  // The key of this object's subscriptions (its address).
  const void* GetEventIdentity() const { return this; }

  // Subscribes `handler` to `name` on the global queue, replacing an earlier
  // subscription of this object to that name; `sourceFilter` non-null limits
  // it to events raised by that source.
  bool Subscribe(const wxString& name, UEventHandler handler, UEventSource sourceFilter = nullptr);

  // Subscribes a member function of the derived class T.
  template <typename T>
  bool Subscribe(const wxString& name, uint32_t (T::*method)(UEvent&),
                 UEventSource sourceFilter = nullptr) {
    T* self = static_cast<T*>(this);
    return Subscribe(
        name, [self, method](UEvent& event) { return (self->*method)(event); }, sourceFilter);
  }

  // Removes this object's subscription of `name`, or all of them with kEvNone.
  bool Unsubscribe(const wxString& name);
};
