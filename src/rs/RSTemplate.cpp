#include "rs/RSTemplate.h"

#include "rs/RSXml.h"

using namespace rsxml;

void CRSTemplate::Save(CDataNode& node, int /*mode*/) {
  SaveCommon(node);
  WriteBool(node, "Active", Active);
  WriteString(node, "FileEnding", FileEnding);
  WriteString(node, "FilePath", FilePath);
  WriteString(node, "ScriptTemplate", ScriptTemplate);
  WriteBool(node, "EncodeSlashes", EncodeSlashes);
  WriteBool(node, "OverrideParentOptions", OverrideParentOptions);
}

bool CRSTemplate::Load(const CDataNode& node, int /*mode*/) {
  LoadCommon(node);
  Active = ReadBool(node, "Active", false);
  ReadStringInto(node, "FileEnding", &FileEnding);
  ReadStringInto(node, "FilePath", &FilePath);
  ReadStringInto(node, "ScriptTemplate", &ScriptTemplate);
  EncodeSlashes = ReadBool(node, "EncodeSlashes", false);
  OverrideParentOptions = ReadBool(node, "OverrideParentOptions", false);
  return true;
}

void CRSTemplate::Reset() {
  Inherited = Disabled = false;
  Active = false;
  FileEnding.clear();
  FilePath.clear();
  ScriptTemplate.clear();
  EncodeSlashes = OverrideParentOptions = false;
}

void CRSTemplate::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  if (const auto* t = dynamic_cast<const CRSTemplate*>(&other)) {
    Active = t->Active;
    FileEnding = t->FileEnding;
    FilePath = t->FilePath;
    ScriptTemplate = t->ScriptTemplate;
    EncodeSlashes = t->EncodeSlashes;
    OverrideParentOptions = t->OverrideParentOptions;
  }
}
