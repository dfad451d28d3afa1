// The raw process arguments after the program name, decoded as UTF-8 whatever
// the locale says, so that a non-ASCII scene path survives a run under LANG=C.
// An argument that is not UTF-8 is not guessed at: a scene path re-encoded
// from another charset names a file that does not exist.
#pragma once

#include <wx/arrstr.h>

#include <string>

// Reads /proc/self/cmdline; false when it cannot be read. `invalidPosition`
// gets the 1-based position of the first argument that is not valid UTF-8,
// or 0 when all are.
bool ReadProcessArguments(wxArrayString* args, size_t* invalidPosition);

// Splits the NUL-separated bytes of a command line into the arguments after
// the first one (the program). An argument that is not valid UTF-8 is left
// out of `args`; the position of the first one goes to `invalidPosition`.
wxArrayString SplitProcessArguments(const std::string& bytes, size_t* invalidPosition = nullptr);
