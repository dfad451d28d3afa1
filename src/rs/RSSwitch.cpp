#include "rs/RSSwitch.h"

#include "rs/RSXml.h"

using namespace rsxml;

void CRSSwitch::Save(CDataNode& node, int /*mode*/) {
  SaveCommon(node);
  WriteString(node, "CmdLineSwitch", CmdLineSwitch);
  WriteInt(node, "Delimiter", Delimiter);
  WriteString(node, "Parameters", Parameters);
}

bool CRSSwitch::Load(const CDataNode& node, int /*mode*/) {
  LoadCommon(node);
  ReadStringInto(node, "CmdLineSwitch", &CmdLineSwitch);
  Delimiter = ReadInt(node, "Delimiter", 1);
  ReadStringInto(node, "Parameters", &Parameters);
  return true;
}

void CRSSwitch::Reset() {
  Inherited = false;
  Disabled = false;
  CmdLineSwitch.clear();
  Delimiter = 1;
  Parameters.clear();
}

void CRSSwitch::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  if (const auto* s = dynamic_cast<const CRSSwitch*>(&other)) {
    CmdLineSwitch = s->CmdLineSwitch;
    Delimiter = s->Delimiter;
    Parameters = s->Parameters;
  }
}
