#include "rs/RSReturnCodes.h"

#include "rs/RSXml.h"

using namespace rsxml;

void CRSReturnCodes::Save(CDataNode& node, int /*mode*/) {
  SaveCommon(node);
  WriteInt(node, "InterpretationType", InterpretationType);
  for (int32_t code : ReturnCodes) WriteInt(node, "ReturnCode", code);
}

bool CRSReturnCodes::Load(const CDataNode& node, int /*mode*/) {
  LoadCommon(node);
  ReturnCodes.clear();
  InterpretationType = ReadInt(node, "InterpretationType", 1);
  for (const CDataNode* child : node.GetChildren()) {
    if (child->GetNameUTF8() == "ReturnCode") ReturnCodes.push_back(ParseInt(child->GetTextUTF8()));
  }
  return true;
}

void CRSReturnCodes::Reset() {
  Inherited = Disabled = false;
  InterpretationType = 0;
  ReturnCodes.clear();
}

void CRSReturnCodes::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  if (const auto* r = dynamic_cast<const CRSReturnCodes*>(&other)) {
    InterpretationType = r->InterpretationType;
    ReturnCodes = r->ReturnCodes;
  }
}
