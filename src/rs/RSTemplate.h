// The script template of a renderer that reads its settings from a generated
// script file: whether a script is generated, where and with which ending,
// and the template text.
#pragma once

#include "rs/RSComponent.h"

class CRSTemplate : public CRSComponent {
 public:
  CRSTemplate() = default;

  void Save(CDataNode& node, int mode) override;
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("Template"); }
  wxString GetFileName() const override { return wxT("Template.xml"); }

  bool Active = false;
  wxString FileEnding;
  wxString FilePath;
  wxString ScriptTemplate;
  bool EncodeSlashes = false;
  bool OverrideParentOptions = false;
};
