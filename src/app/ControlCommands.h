// The control commands: verbs for net jobs ("pause:12,13"), for chunks of a
// net job ("restart:1-3,7@42") and for client pools ("start:Main,Lighting").
// Several entries are separated by ";". The texts are read here; the sender
// sends one message per target and prints its progress line.
#pragma once

#include <wx/string.h>

class CKfJsCore;
class CServerControlSender;

class CControlCommands {
 public:
  CControlCommands(CKfJsCore& core, CServerControlSender& sender)
      : m_core(core), m_sender(sender) {}

  // Runs the net job, then the chunk, then the pool entries; an empty text
  // runs nothing of its kind. The lines show even though the command runs
  // quiet.
  void Run(const wxString& netJobs, const wxString& chunks, const wxString& pools);

  void ControlNetJobs(const wxString& text);
  void ControlChunks(const wxString& text);
  void ControlPools(const wxString& text);

 private:
  CKfJsCore& m_core;
  CServerControlSender& m_sender;
};
