// The ordered switches of a command line, keyed by their switch text.
#pragma once

#include "rs/RSArray.h"
#include "rs/RSComponent.h"
#include "rs/RSSwitch.h"

class CRSSwitchList : public CRSArray<CRSSwitch, wxString>, public CRSComponent {
 public:
  CRSSwitchList() : CRSArray<CRSSwitch, wxString>("Switch", "CmdLineSwitch", true) {}

  const wxString& GetKey(const CRSSwitch* item) const override { return item->CmdLineSwitch; }
  bool OnItemAdded(CRSSwitch* item) override { return Owner ? item->Attach(Owner) : true; }
  void Reset() override { Clear(true); }
  // Replaces the switches by clones of the other list's.
  void CopyFrom(const CRSComponent& other) override;
};
