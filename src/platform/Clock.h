// The program's millisecond clock: elapsed milliseconds since a fixed start
// point, unsigned 32-bit, compared by unsigned difference so that it may wrap.
// Everything that measures a time-out reads the clock through this seam, so a
// test can set the time instead of waiting for it.
#pragma once

#include <wx/defs.h>

class CClock {
 public:
  virtual ~CClock() = default;

  // Milliseconds since the clock's start point.
  virtual wxUint32 Now() = 0;

  // Blocks the thread for `ms` milliseconds (a settable clock just advances).
  virtual void Sleep(wxUint32 ms) = 0;

  // The steady clock of the machine; it starts at the first call in a process.
  static CClock& System();
};

// Milliseconds from `start` to `now`, correct across a wrap of the counter.
inline wxUint32 ElapsedMs(wxUint32 start, wxUint32 now) { return now - start; }
