// A clock that only moves when told to: tests set it to drive time-outs to the
// exact millisecond without waiting. Sleeping advances it.
#pragma once

#include "platform/Clock.h"

class CManualClock : public CClock {
 public:
  explicit CManualClock(wxUint32 start = 0) : m_now(start) {}

  wxUint32 Now() override { return m_now; }
  void Sleep(wxUint32 ms) override { m_now += ms; }

  void Set(wxUint32 now) { m_now = now; }
  void Advance(wxUint32 ms) { m_now += ms; }

 private:
  wxUint32 m_now;
};
