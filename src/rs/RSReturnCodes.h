// The renderer's exit codes that a render client treats specially, and how
// the listed codes are to be read.
#pragma once

#include "rs/RSComponent.h"

#include <cstdint>
#include <vector>

class CRSReturnCodes : public CRSComponent {
 public:
  CRSReturnCodes() = default;

  void Save(CDataNode& node, int mode) override;
  // "InterpretationType" defaults to 1 here, while Reset sets 0.
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("ReturnCodes"); }
  wxString GetFileName() const override { return wxT("ReturnCodes.xml"); }

  int32_t InterpretationType = 0;
  std::vector<int32_t> ReturnCodes;
};
