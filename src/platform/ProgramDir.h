// Where the running program lives: the folder of its own executable, with
// symbolic links resolved, as the folder the configuration, the defaults,
// the environment file and the renderer cache are read from.
#pragma once

#include <wx/string.h>

// The folder of the running executable, ending in "/"; empty when it cannot
// be determined.
wxString GetProgramDir();

// The folder part of an executable path, ending in "/"; empty when the path
// has no folder part.
wxString ProgramDirFromExePath(const wxString& exePath);
