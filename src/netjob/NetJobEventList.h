// The events of a net job, kept grouped by scope: an event joins the end of
// the events of its scope, or the end of the list when its scope is new.
#pragma once

#include <memory>
#include <vector>

#include "netjob/NetJobEvent.h"

class UXSSSection;

// Owning list of events in list order.
class CNetJobEvents {
 public:
  CNetJobEvents() = default;
  virtual ~CNetJobEvents() = default;
  CNetJobEvents(const CNetJobEvents&) = delete;
  CNetJobEvents& operator=(const CNetJobEvents&) = delete;

  size_t GetCount() const { return m_events.size(); }
  const CNetJobEvent* GetAt(size_t index) const {
    return index < m_events.size() ? m_events[index].get() : nullptr;
  }
  void Clear() { m_events.clear(); }

 protected:
  std::vector<std::unique_ptr<CNetJobEvent>> m_events;
};

class CNetJobEventList : public CNetJobEvents {
 public:
  // Inserts the event after the last one of its scope; false for no event.
  bool AddEvent(std::unique_ptr<CNetJobEvent> event);
  // Replaces the own events by copies of `other`'s, in order.
  void CopyFrom(const CNetJobEventList& other);
  // Adds the events of an "Events" settings section ("Count" and the child
  // sections "Event00", "Event01", ...); missing event sections are skipped.
  void LoadFromSection(UXSSSection& section);

  // Resolves "\n", "\r", "\t"; any other escaped character stands for itself.
  static wxString Unescape(const wxString& text);
};
