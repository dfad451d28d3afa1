#include "rs/RSRenderSetValue.h"

void CRSRenderSetValue::Save(CDataNode& node, int /*mode*/) {
  for (const wxString& s : Strings) node.AddChild("Value")->SetText(s);
}

bool CRSRenderSetValue::Load(const CDataNode& node, int /*mode*/) {
  for (const CDataNode* child : node.GetChildren()) {
    if (child->GetNameUTF8() == "Value") Strings.Add(child->GetText());
  }
  return true;
}

void CRSRenderSetValue::AddString(const wxString& text) {
  wxString trimmed = text;
  trimmed.Trim(true).Trim(false);
  Strings.Add(trimmed);
}

void CRSRenderSetValue::SetString(const wxString& text) {
  Strings.clear();
  AddString(text);
}

void CRSRenderSetValue::CopyFrom(const CRSRenderSetValue& other) {
  Name = other.Name;
  Strings = other.Strings;
  Uuid = other.Uuid;
  Pool = other.Pool;
}
