// The environment variables a render client sets for the renderer, keyed by
// name.
#pragma once

#include "rs/RSArray.h"
#include "rs/RSComponent.h"
#include "rs/RSEnvVariable.h"

class CRSEnvironment : public CRSArray<CRSEnvVariable, wxString>, public CRSComponent {
 public:
  CRSEnvironment() : CRSArray<CRSEnvVariable, wxString>("Variable", "Name", true) {}

  const wxString& GetKey(const CRSEnvVariable* item) const override { return item->Name; }
  bool OnItemAdded(CRSEnvVariable* item) override { return Owner ? item->Attach(Owner) : true; }
  void Reset() override { Clear(true); }
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("Environment"); }
  wxString GetFileName() const override { return wxT("Environment.xml"); }
};
