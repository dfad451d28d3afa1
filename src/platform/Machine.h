// Facts about the machine the program runs on, as it tells them to the
// server: its host name and its total physical memory.
#pragma once

#include <wx/string.h>

// The machine's own host name (as the system reports it, not looked up).
wxString MachineHostName();
// Total physical memory in bytes, 0 when the system does not say.
wxUint64 MachinePhysicalMemory();
