// One environment variable that a render client sets for the renderer.
#pragma once

#include "rs/RSComponent.h"

class CRSEnvVariable : public CRSComponent {
 public:
  CRSEnvVariable() = default;

  void Save(CDataNode& node, int mode) override;
  // Reads "Name" and "Value" only: a loaded variable is never inherited.
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("Variable"); }

  wxString Name;
  wxString Value;
};
