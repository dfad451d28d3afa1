// One switch of a renderer's command line: the switch text as the renderer
// expects it (the key of the switch list), a code for what separates it from
// its value, and the parameters whose values follow it.
#pragma once

#include "rs/RSComponent.h"

#include <cstdint>

class CRSSwitch : public CRSComponent {
 public:
  CRSSwitch() = default;

  void Save(CDataNode& node, int mode) override;
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("Switch"); }

  wxString CmdLineSwitch;
  int32_t Delimiter = 1;
  wxString Parameters;
};
