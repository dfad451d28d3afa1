// The program's event queue for the length of one test, as the core would
// set it for a run.
#pragma once

#include "settings/EventQueue.h"

struct GlobalEventQueue {
  GlobalEventQueue() { UEventQueue::SetGlobal(&queue); }
  ~GlobalEventQueue() { UEventQueue::SetGlobal(nullptr); }
  GlobalEventQueue(const GlobalEventQueue&) = delete;
  GlobalEventQueue& operator=(const GlobalEventQueue&) = delete;

  UEventQueue queue;
};
