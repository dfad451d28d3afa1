// Entry point of KfRcCmd: a console application without an event loop.
#include <wx/app.h>

#include "app/KfJsCore.h"

class CKfJsCmd : public wxAppConsole {
 public:
  bool OnInit() override { return true; }
  int OnRun() override {
    m_core.OutputLevel(2, wxT("The command line is not built yet\n"));
    return -1;
  }

 private:
  CKfJsCore m_core;
};

wxIMPLEMENT_APP_CONSOLE(CKfJsCmd);
