#include "rs/RSCommandLine.h"

#include "rs/RSCoreRenderer.h"
#include "rs/RSXml.h"

using namespace rsxml;

void CRSCommandLine::Save(CDataNode& node, int mode) {
  SaveCommon(node);
  WriteBool(node, "ForceQuotes", ForceQuotes);
  WriteBool(node, "ForceQuotesStringOnly", ForceQuotesStringOnly);
  WriteBool(node, "UseFwdSlashes", UseFwdSlashes);
  WriteBool(node, "UseBwdSlashes", UseBwdSlashes);
  WriteBool(node, "EncodeSlashes", EncodeSlashes);
  WriteBool(node, "OverrideParentOptions", OverrideParentOptions);
  WriteBool(node, "OverrideParentSlashOptions", OverrideParentSlashOptions);
  Switches.Save(*node.AddChild("Switches"), mode);
}

bool CRSCommandLine::Load(const CDataNode& node, int mode) {
  LoadCommon(node);
  ForceQuotes = ReadBool(node, "ForceQuotes", false);
  ForceQuotesStringOnly = ReadBool(node, "ForceQuotesStringOnly", false);
  UseFwdSlashes = ReadBool(node, "UseFwdSlashes", false);
  UseBwdSlashes = ReadBool(node, "UseBwdSlashes", false);
  EncodeSlashes = ReadBool(node, "EncodeSlashes", false);
  OverrideParentOptions = ReadBool(node, "OverrideParentOptions", false);
  OverrideParentSlashOptions = ReadBool(node, "OverrideParentSlashOptions", false);
  const CDataNode* switches = node.FindChild("Switches");
  if (!switches || !Switches.Load(*switches, mode)) return false;
  DropUndefinedInherited();
  return true;
}

void CRSCommandLine::DropUndefinedInherited() {
  const CRSCoreRenderer* upper = GetUpperOwner();
  if (!upper) return;
  const CRSSwitchList& theirs = upper->CommandLine.Switches;
  for (size_t i = Switches.GetCount(); i-- > 0;) {
    const CRSSwitch* s = Switches.GetAt(i);
    if (!s->Inherited) continue;
    bool defined = false;
    for (const CRSSwitch* t : theirs) {
      if (!t->Inherited && t->CmdLineSwitch == s->CmdLineSwitch) {
        defined = true;
        break;
      }
    }
    if (!defined) Switches.RemoveAt(i);
  }
}

void CRSCommandLine::Reset() {
  Inherited = false;
  Disabled = false;
  ForceQuotes = ForceQuotesStringOnly = UseFwdSlashes = UseBwdSlashes = false;
  EncodeSlashes = OverrideParentOptions = OverrideParentSlashOptions = false;
  Switches.Reset();
}

void CRSCommandLine::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  const auto* c = dynamic_cast<const CRSCommandLine*>(&other);
  if (!c || c == this) return;
  ForceQuotes = c->ForceQuotes;
  ForceQuotesStringOnly = c->ForceQuotesStringOnly;
  UseFwdSlashes = c->UseFwdSlashes;
  UseBwdSlashes = c->UseBwdSlashes;
  EncodeSlashes = c->EncodeSlashes;
  OverrideParentOptions = c->OverrideParentOptions;
  OverrideParentSlashOptions = c->OverrideParentSlashOptions;
  Switches.CopyFrom(c->Switches);
}
