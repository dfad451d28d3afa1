// The values of one render setting in a render set: the parameter ID and an
// ordered list of texts (several for a list parameter).
#pragma once

#include "rs/RSObject.h"

#include <wx/arrstr.h>

class CRSRenderSetValue : public CRSObject {
 public:
  CRSRenderSetValue() = default;
  explicit CRSRenderSetValue(const wxString& name) : Name(name) {}

  // One "Value" child per string.
  void Save(CDataNode& node, int mode) override;
  // Appends the text of every "Value" child, untrimmed.
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override { Strings.clear(); }

  // Appends the text trimmed at both ends.
  void AddString(const wxString& text);
  // Replaces the strings by this one (trimmed).
  void SetString(const wxString& text);
  void CopyFrom(const CRSRenderSetValue& other);

  wxString Name;
  wxArrayString Strings;
};
