#include "rs/RSEnvVariable.h"

#include "rs/RSXml.h"

void CRSEnvVariable::Save(CDataNode& node, int /*mode*/) {
  SaveCommon(node);
  rsxml::WriteString(node, "Name", Name);
  rsxml::WriteString(node, "Value", Value);
}

bool CRSEnvVariable::Load(const CDataNode& node, int /*mode*/) {
  Inherited = Disabled = false;
  rsxml::ReadStringInto(node, "Name", &Name);
  rsxml::ReadStringInto(node, "Value", &Value);
  return true;
}

void CRSEnvVariable::Reset() {
  Inherited = Disabled = false;
  Name.clear();
  Value.clear();
}

void CRSEnvVariable::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  if (const auto* v = dynamic_cast<const CRSEnvVariable*>(&other)) {
    Name = v->Name;
    Value = v->Value;
  }
}
