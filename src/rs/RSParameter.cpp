#include "rs/RSParameter.h"

#include <wx/hashmap.h>

#include <unordered_map>
#include <unordered_set>

#include "rs/RSPool.h"
#include "rs/RSXml.h"

using namespace rsxml;

void CRSParameter::Save(CDataNode& node, int /*mode*/) {
  node.ReserveChildren(24);
  SaveCommon(node);
  WriteString(node, "ID", ID);
  WriteInt(node, "Type", Type);
  WriteUInt(node, "TypeFlags", TypeFlags);
  WriteString(node, "Group", Group);
  WriteString(node, "DisplayName", DisplayName);
  WriteString(node, "Help", Help);
  WriteBool(node, "Mandatory", Mandatory);
  WriteBool(node, "Invisible", Invisible);
  WriteBool(node, "UseRange", UseRange);
  WriteFloat(node, "MinValue", MinValue);
  WriteFloat(node, "MaxValue", MaxValue);
  WriteBool(node, "SplittableList", SplittableList);
  WriteString(node, "ListSeparator", ListSeparator);
  WriteBool(node, "ForceSplitting", ForceSplitting);
  WriteBool(node, "QuoteSplits", QuoteSplits);
  WriteString(node, "TrueValue", TrueValue);
  WriteString(node, "FalseValue", FalseValue);
  CDataNode* enums = node.AddChild("EnumValues");
  for (const wxString& entry : EnumValues) {
    CDataNode* pair = enums->AddChild("EnumValue");
    WriteString(*pair, "Name", entry.BeforeFirst(wxT('=')));
    WriteString(*pair, "Value", entry.AfterFirst(wxT('=')));
  }
  WriteString(node, "DefaultValue", DefaultValue);
  WriteBool(node, "ShowInNjDetails", ShowInNjDetails);
  CDataNode* deps = node.AddChild("Dependencies");
  for (const wxString& id : Dependencies) WriteString(*deps, "Dependency", id);
}

void CRSParameter::LoadPresentation(const CDataNode& node) {
  Group = ReadString(node, "Group", Group);
  DisplayName = ReadString(node, "DisplayName", DisplayName);
  Help = ReadString(node, "Help", Help);
  Mandatory = ReadBool(node, "Mandatory", Mandatory);
  Invisible = ReadBool(node, "Invisible", Invisible);
  UseRange = ReadBool(node, "UseRange", UseRange);
  MinValue = ReadFloat(node, "MinValue", MinValue);
  MaxValue = ReadFloat(node, "MaxValue", MaxValue);
  SplittableList = ReadBool(node, "SplittableList", SplittableList);
  ListSeparator = ReadString(node, "ListSeparator", ListSeparator);
  ForceSplitting = ReadBool(node, "ForceSplitting", ForceSplitting);
  QuoteSplits = ReadBool(node, "QuoteSplits", QuoteSplits);
  TrueValue = ReadString(node, "TrueValue", TrueValue);
  FalseValue = ReadString(node, "FalseValue", FalseValue);
  DefaultValue = ReadString(node, "DefaultValue", DefaultValue);
  ShowInNjDetails = ReadBool(node, "ShowInNjDetails", ShowInNjDetails);
}

bool CRSParameter::Load(const CDataNode& node, int /*mode*/) {
  ID = ReadString(node, "ID");
  if (ID.empty()) return false;
  const CRSParameter* standard = Pool ? Pool->StandardParameters.Contains(ID) : nullptr;
  if (standard && standard != this) {
    CopyFrom(*standard);
    LoadCommon(node);
    Standard = true;
    if (!Inherited) LoadPresentation(node);
  } else {
    LoadCommon(node);
    // A parameter starts from the defaults, not from what a matched earlier
    // load left: an inherited one reads none of these, and would otherwise be
    // written with the attributes of what it was before.
    const CRSParameter defaults;
    Type = Inherited ? defaults.Type : ReadInt(node, "Type", 0);
    TypeFlags = Inherited ? defaults.TypeFlags : ReadUInt(node, "TypeFlags", 0);
    Group = defaults.Group;
    DisplayName = defaults.DisplayName;
    Help = defaults.Help;
    Mandatory = defaults.Mandatory;
    Invisible = defaults.Invisible;
    UseRange = defaults.UseRange;
    MinValue = defaults.MinValue;
    MaxValue = defaults.MaxValue;
    SplittableList = defaults.SplittableList;
    ListSeparator = defaults.ListSeparator;
    ForceSplitting = defaults.ForceSplitting;
    QuoteSplits = defaults.QuoteSplits;
    TrueValue = defaults.TrueValue;
    FalseValue = defaults.FalseValue;
    DefaultValue = defaults.DefaultValue;
    ShowInNjDetails = defaults.ShowInNjDetails;
    if (!Inherited) LoadPresentation(node);
    Standard = false;
    Settable = true;
  }
  // Both lists are loaded through an index of what they hold, so that a long
  // list loads in time linear in its entries (AddEnumValue and AddDependency
  // each look through the whole list).
  if (const CDataNode* enums = node.FindChild("EnumValues")) {
    std::unordered_map<wxString, size_t, wxStringHash, wxStringEqual> index;
    for (size_t i = 0; i < EnumValues.size(); ++i)
      index.emplace(EnumValues[i].BeforeFirst(wxT('=')), i);
    for (const CDataNode* pair : enums->GetChildren()) {
      if (pair->GetNameUTF8() != "EnumValue") continue;
      const wxString name = ReadString(*pair, "Name");
      const wxString entry = name + wxT("=") + ReadString(*pair, "Value");
      // The first entry of a name is the one replaced; a name holding "="
      // never matches an entry and is always added.
      const bool plain = name.Find(wxT('=')) == wxNOT_FOUND;
      const auto found =
          index.emplace(plain ? name : entry.BeforeFirst(wxT('=')), EnumValues.size());
      if (found.second || !plain) {
        EnumValues.Add(entry);
      } else {
        EnumValues[found.first->second] = entry;
      }
    }
  }
  if (const CDataNode* deps = node.FindChild("Dependencies")) {
    std::unordered_set<wxString, wxStringHash, wxStringEqual> known(Dependencies.begin(),
                                                                    Dependencies.end());
    for (const CDataNode* dep : deps->GetChildren()) {
      if (dep->GetNameUTF8() != "Dependency") continue;
      const wxString id = dep->GetText();
      if (id != ID && known.insert(id).second) Dependencies.Add(id);
    }
  }
  return true;
}

void CRSParameter::Reset() {
  const CRSParameter defaults;
  CopyFrom(defaults);
}

void CRSParameter::CopyFrom(const CRSComponent& other) {
  CRSComponent::CopyFrom(other);
  const auto* p = dynamic_cast<const CRSParameter*>(&other);
  if (!p || p == this) return;
  ID = p->ID;
  Type = p->Type;
  TypeFlags = p->TypeFlags;
  Group = p->Group;
  DisplayName = p->DisplayName;
  Help = p->Help;
  Standard = p->Standard;
  Settable = p->Settable;
  Mandatory = p->Mandatory;
  Invisible = p->Invisible;
  Dependencies = p->Dependencies;
  UseRange = p->UseRange;
  MinValue = p->MinValue;
  MaxValue = p->MaxValue;
  SplittableList = p->SplittableList;
  ListSeparator = p->ListSeparator;
  ForceSplitting = p->ForceSplitting;
  QuoteSplits = p->QuoteSplits;
  TrueValue = p->TrueValue;
  FalseValue = p->FalseValue;
  EnumValues = p->EnumValues;
  DefaultValue = p->DefaultValue;
  ShowInNjDetails = p->ShowInNjDetails;
}

void CRSParameter::AddEnumValue(const wxString& name, const wxString& value) {
  const wxString entry = name + wxT("=") + value;
  for (wxString& existing : EnumValues) {
    if (existing.BeforeFirst(wxT('=')) == name) {
      existing = entry;
      return;
    }
  }
  EnumValues.Add(entry);
}

void CRSParameter::AddDependency(const wxString& id) {
  if (id == ID || Dependencies.Index(id, true) != wxNOT_FOUND) return;
  Dependencies.Add(id);
}

void CRSParameter::GetEnumNames(wxArrayString& names) const {
  for (const wxString& entry : EnumValues) names.Add(entry.BeforeFirst(wxT('=')));
}

wxString CRSParameter::GetEnumValue(const wxString& name) const {
  for (const wxString& entry : EnumValues) {
    if (entry.BeforeFirst(wxT('=')) == name) return entry.AfterFirst(wxT('='));
  }
  return wxString();
}

void CRSParameter::GetDependencies(wxArrayString& ids) const {
  for (const wxString& id : Dependencies) ids.Add(id);
}

bool CRSParameter::IsSplitting() const {
  if (Type == kInteger && SplittableList && (TypeFlags & kFlagMultiValue) == 0) return true;
  return ForceSplitting;
}
