#include "settings/EventQueue.h"

#include <algorithm>

namespace {
UEventQueue* g_global = nullptr;
}  // namespace

UEventQueue::~UEventQueue() = default;

UEventQueue* UEventQueue::Global() { return g_global; }

void UEventQueue::SetGlobal(UEventQueue* queue) { g_global = queue; }

uint32_t UEventQueue::Dispatch(UEvent& event) {
  ++m_depth;
  uint32_t result = 0;
  // Only the subscriptions present now take part. Sinks are never erased while
  // a dispatch runs and each is held by pointer, so indices and references
  // stay valid even when a handler subscribes.
  const size_t count = m_sinks.size();
  for (size_t i = 0; i < count; ++i) {
    UEventSink& sink = *m_sinks[i];
    if (!sink.removed && sink.handler && sink.owner != nullptr && sink.name == event.GetName() &&
        (sink.sourceFilter == nullptr || sink.sourceFilter == event.GetSource())) {
      try {
        result = sink.handler(event);
      } catch (...) {
        // A failing subscriber must not keep the others from hearing the event.
      }
    }
    if (event.IsStopped()) break;
  }
  if (--m_depth <= 0) {
    m_depth = 0;
    PurgeRemoved();
  }
  return result;
}

uint32_t UEventQueue::Post(std::unique_ptr<UEvent> event, bool deferred) {
  if (!event) return 0;
  if (deferred) {
    m_deferred.push_back(std::move(event));
    return 0;
  }
  return Dispatch(*event);
}

bool UEventQueue::Subscribe(const void* owner, const wxString& name, UEventHandler handler,
                            UEventSource sourceFilter) {
  Unsubscribe(owner, name);
  auto sink = std::make_unique<UEventSink>();
  sink->name = name;
  sink->handler = std::move(handler);
  sink->owner = owner;
  sink->sourceFilter = sourceFilter;
  m_sinks.push_back(std::move(sink));
  ++m_live[owner];
  return true;
}

bool UEventQueue::Unsubscribe(const void* owner, const wxString& name) {
  return Remove(owner, name == kEvNone ? nullptr : &name);
}

bool UEventQueue::UnsubscribeAll(const void* owner) { return Remove(owner, nullptr); }

bool UEventQueue::Remove(const void* owner, const wxString* name) {
  const auto live = m_live.find(owner);
  if (live == m_live.end()) return false;
  bool deleted = false;
  for (size_t i = 0; i < m_sinks.size() && live->second > 0;) {
    UEventSink& sink = *m_sinks[i];
    if (sink.removed || sink.owner != owner || (name && sink.name != *name)) {
      ++i;
      continue;
    }
    --live->second;
    if (m_depth > 0) {
      sink.removed = true;
      m_hasRemoved = true;
      ++i;
    } else {
      m_sinks.erase(m_sinks.begin() + static_cast<std::ptrdiff_t>(i));
      deleted = true;
    }
    // An owner holds one subscription per name.
    if (name) break;
  }
  if (live->second == 0) m_live.erase(live);
  return deleted;
}

size_t UEventQueue::GetSubscriptionCount() const {
  return static_cast<size_t>(std::count_if(m_sinks.begin(), m_sinks.end(),
                                           [](const auto& s) { return !s->removed; }));
}

void UEventQueue::PurgeRemoved() {
  if (!m_hasRemoved) return;
  m_hasRemoved = false;
  m_sinks.erase(std::remove_if(m_sinks.begin(), m_sinks.end(),
                               [](const auto& s) { return s->removed; }),
                m_sinks.end());
}
