// The queue that delivers events to subscribers: every subscription whose
// name equals the event's name (exactly, with case) and whose source filter is
// null or equals the event's source is called at once, in subscription order,
// on the raising thread. A handler may set the event's stop flag (no later
// subscriber is called), raise further events (nested dispatch), and subscribe
// or unsubscribe; a subscription removed while any dispatch runs is skipped
// from then on and deleted when the outermost dispatch ends. Subscriptions
// added during a dispatch receive only events raised after they were added.
//
// The program's global queue is the one its owner hands to SetGlobal() for
// its lifetime; Global() reaches it and is null outside it. Components normally
// subscribe through CEventObject rather than calling the queue directly.
// The queue has no lock and must not be destroyed from inside a handler.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "settings/Event.h"

// Called with the event; its result becomes the dispatch result when it is
// the last handler called.
using UEventHandler = std::function<uint32_t(UEvent&)>;

// One subscription.
struct UEventSink {
  wxString name = kEvNone;
  UEventHandler handler;
  const void* owner = nullptr;          // the subscriber's identity
  UEventSource sourceFilter = nullptr;  // null: events of any source
  bool removed = false;                 // unsubscribed during a dispatch
};

class UEventQueue {
 public:
  UEventQueue() = default;
  ~UEventQueue();

  UEventQueue(const UEventQueue&) = delete;
  UEventQueue& operator=(const UEventQueue&) = delete;

  // The program's queue, or null when none is set.
  static UEventQueue* Global();
  // Set once by the queue's owner, and reset to null before it goes.
  static void SetGlobal(UEventQueue* queue);

  // Delivers `event` now (see the class comment) and returns the result of the
  // last handler called, 0 when none was. Handlers that throw are skipped
  // over: the exception is dropped and the next subscriber is called.
  uint32_t Dispatch(UEvent& event);

  // Takes ownership of `event`. Not deferred: dispatches it now, deletes it
  // and returns the dispatch result (0 for a null event). Deferred: keeps it
  // (nothing in the program delivers deferred events; they are deleted with
  // the queue) and returns 0.
  uint32_t Post(std::unique_ptr<UEvent> event, bool deferred);

  // Subscribes `owner` to `name`, replacing the owner's earlier subscription
  // of that name. A null owner or an empty handler is stored but never
  // called. Always true.
  bool Subscribe(const void* owner, const wxString& name, UEventHandler handler,
                 UEventSource sourceFilter = nullptr);

  // Removes the owner's subscription of `name`, or every subscription of the
  // owner when `name` is kEvNone. True only when a subscription was deleted at
  // once; during a dispatch removal is deferred and the result is false.
  bool Unsubscribe(const void* owner, const wxString& name);
  // Unsubscribe(owner, kEvNone).
  bool UnsubscribeAll(const void* owner);

  // Subscriptions still in effect (not removed).
  size_t GetSubscriptionCount() const;
  size_t GetDeferredCount() const { return m_deferred.size(); }
  int GetDispatchDepth() const { return m_depth; }

 private:
  void PurgeRemoved();
  // Removes the owner's subscriptions of `name`, or all of them when `all`.
  bool Remove(const void* owner, const wxString* name);

  std::vector<std::unique_ptr<UEventSink>> m_sinks;
  // Subscriptions in effect per owner. Every render-system object leaves the
  // queue when it goes, and few of them ever subscribed: those that did not
  // are told apart without a walk over every subscription.
  std::unordered_map<const void*, size_t> m_live;
  std::vector<std::unique_ptr<UEvent>> m_deferred;
  int m_depth = 0;
  bool m_hasRemoved = false;
};
