// The raw process arguments after the program name, decoded as UTF-8 whatever
// the locale says, so that a non-ASCII scene path survives a run under LANG=C.
#pragma once

#include <wx/arrstr.h>

#include <string>

// Reads /proc/self/cmdline; false when it cannot be read.
bool ReadProcessArguments(wxArrayString* args);

// Splits the NUL-separated bytes of a command line into the arguments after
// the first one (the program).
wxArrayString SplitProcessArguments(const std::string& bytes);
