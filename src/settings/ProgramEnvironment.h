// The settings of the start-up that live outside the configuration file: the
// environment file Kilnforge.env, whose lines become process environment
// variables, and the machine environment variable KF_CMDRC_DIR through which
// the program publishes where it lives (it never reads that value itself).
#pragma once

#include <wx/string.h>

// Sets one process environment variable per "NAME=VALUE" line of
// Kilnforge.env in `programDir`. Blank lines and lines starting with ";" or
// "#" are skipped; the value ends at a second "="; later lines win. False
// when there is no such file; nothing is ever reported.
bool LoadEnvironmentFile(const wxString& programDir);

// Records `programDir` (with a trailing "/") as KF_CMDRC_DIR in the machine
// environment. Failures are silent.
void RegisterProgramDir(const wxString& programDir);
// Removes KF_CMDRC_DIR from the machine environment. Failures are silent.
void UnregisterProgramDir();
