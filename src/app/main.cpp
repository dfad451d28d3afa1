// Entry point of KfRcCmd: a console application without an event loop.
#include "app/KfJsCmd.h"

wxIMPLEMENT_APP_CONSOLE(CKfJsCmd);
