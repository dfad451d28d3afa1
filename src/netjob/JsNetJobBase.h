// The net job as the job submission builds it: the record plus the client
// pools it goes to and whether it starts paused.
#pragma once

#include "netjob/NetJobCore.h"

class CJsNetJobBase : public CNetJobCore {
 public:
  CJsNetJobBase() = default;
  ~CJsNetJobBase() override = default;

  // Pool entries are "identifier|name" or a bare pool identifier; the text
  // before the first "|" names the pool on the wire.
  virtual const wxArrayString& GetPoolList() const { return m_pools; }
  virtual wxArrayString& GetPoolList() { return m_pools; }
  // False when the entry is already listed (compared with case).
  virtual bool AddPool(const wxString& pool);
  // Removes that entry; an empty name clears the whole list.
  virtual bool RemovePool(const wxString& pool);

  bool GetStartPaused() const { return m_startPaused; }
  void SetStartPaused(bool paused) { m_startPaused = paused; }

 private:
  wxArrayString m_pools;
  bool m_startPaused = false;
};
