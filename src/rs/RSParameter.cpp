#include "rs/RSParameter.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "platform/Utf8.h"
#include "rs/RSPool.h"
#include "rs/RSXml.h"

using namespace rsxml;

namespace {

// A list this long or longer is loaded through an index of what it holds, so
// that it loads in time linear in its entries; a shorter one is searched.
constexpr size_t kIndexFrom = 16;

// An enum entry is "name=value": the name ends at the first "=".
std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('=')); }

std::string ValueOf(const std::string& entry) {
  const size_t eq = entry.find('=');
  return eq == std::string::npos ? std::string() : entry.substr(eq + 1);
}

// The index of the first entry named so, or the count when there is none.
size_t FindEnum(const std::vector<std::string>& entries, const char* name, size_t length) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::string& entry = entries[i];
    const size_t n = std::min(entry.find('='), entry.size());
    if (n == length && entry.compare(0, n, name, length) == 0) return i;
  }
  return entries.size();
}

// The children a parameter reads after its ID, in the order Save writes them.
enum Child {
  kType, kTypeFlags, kGroup, kDisplayName, kHelp, kMandatory, kInvisible, kUseRange, kMinValue,
  kMaxValue, kSplittableList, kListSeparator, kForceSplitting, kQuoteSplits, kTrueValue,
  kFalseValue, kEnumValues, kDefaultValue, kShowInNjDetails, kDependencies, kChildCount
};
const std::string kChildNames[kChildCount] = {
    "Type", "TypeFlags", "Group", "DisplayName", "Help", "Mandatory", "Invisible", "UseRange",
    "MinValue", "MaxValue", "SplittableList", "ListSeparator", "ForceSplitting", "QuoteSplits",
    "TrueValue", "FalseValue", "EnumValues", "DefaultValue", "ShowInNjDetails", "Dependencies"};

// The items of "EnumValues" and "Dependencies", held as strings so that a
// comparison starts with the lengths.
const std::string kEnumValue = "EnumValue";
const std::string kDependency = "Dependency";

// The first child of each of those names, found in one pass over the element
// rather than by one search per name: children in the written order are each
// found at the first comparison.
struct Children {
  explicit Children(const CDataNode& node) {
    size_t next = 0;
    for (const CDataNode* child : node.GetChildren()) {
      const std::string& name = child->GetNameUTF8();
      const size_t at = next < kChildCount && name == kChildNames[next] ? next : IndexOf(name);
      if (at == kChildCount) continue;
      if (!of[at]) of[at] = child;
      next = at + 1;
    }
  }
  static size_t IndexOf(const std::string& name) {
    return static_cast<size_t>(std::find(kChildNames, kChildNames + kChildCount, name) -
                               kChildNames);
  }
  const CDataNode* of[kChildCount] = {};
};

// A parameter as constructed, made once: a pool load starts tens of
// thousands of parameters from it. Never destroyed, so that it outlives every
// parameter that may start from it.
const CRSParameter& Defaults() {
  static const CRSParameter* const defaults = new CRSParameter();
  return *defaults;
}

// Each leaves the field as it is when there is no such child.
void Read(const CDataNode* child, std::string* text) {
  if (child) TextUTF8Into(*child, text);
}
void Read(const CDataNode* child, bool* flag) {
  if (child) *flag = ParseBool(child->GetTextUTF8());
}
void Read(const CDataNode* child, int32_t* number) {
  if (child) *number = ParseInt(child->GetTextUTF8());
}
void Read(const CDataNode* child, uint32_t* number) {
  if (child) *number = ParseUInt(child->GetTextUTF8());
}
void Read(const CDataNode* child, float* number) {
  if (child) *number = ParseFloat(child->GetTextUTF8());
}

// The sixteen children a renderer may set, each defaulting to the current
// value of its field.
void LoadPresentation(const Children& children, CRSParameter& p) {
  Read(children.of[kGroup], &p.Group);
  Read(children.of[kDisplayName], &p.DisplayName);
  Read(children.of[kHelp], &p.Help);
  Read(children.of[kMandatory], &p.Mandatory);
  Read(children.of[kInvisible], &p.Invisible);
  Read(children.of[kUseRange], &p.UseRange);
  Read(children.of[kMinValue], &p.MinValue);
  Read(children.of[kMaxValue], &p.MaxValue);
  Read(children.of[kSplittableList], &p.SplittableList);
  Read(children.of[kListSeparator], &p.ListSeparator);
  Read(children.of[kForceSplitting], &p.ForceSplitting);
  Read(children.of[kQuoteSplits], &p.QuoteSplits);
  Read(children.of[kTrueValue], &p.TrueValue);
  Read(children.of[kFalseValue], &p.FalseValue);
  Read(children.of[kDefaultValue], &p.DefaultValue);
  Read(children.of[kShowInNjDetails], &p.ShowInNjDetails);
}

}  // namespace

void CRSParameter::Save(CDataNode& node, int /*mode*/) {
  node.ReserveChildren(24);
  SaveCommon(node);
  WriteString(node, "ID", ID);
  WriteInt(node, "Type", Type);
  WriteUInt(node, "TypeFlags", TypeFlags);
  WriteStringUTF8(node, "Group", Group);
  WriteStringUTF8(node, "DisplayName", DisplayName);
  WriteStringUTF8(node, "Help", Help);
  WriteBool(node, "Mandatory", Mandatory);
  WriteBool(node, "Invisible", Invisible);
  WriteBool(node, "UseRange", UseRange);
  WriteFloat(node, "MinValue", MinValue);
  WriteFloat(node, "MaxValue", MaxValue);
  WriteBool(node, "SplittableList", SplittableList);
  WriteStringUTF8(node, "ListSeparator", ListSeparator);
  WriteBool(node, "ForceSplitting", ForceSplitting);
  WriteBool(node, "QuoteSplits", QuoteSplits);
  WriteStringUTF8(node, "TrueValue", TrueValue);
  WriteStringUTF8(node, "FalseValue", FalseValue);
  CDataNode* enums = node.AddChild("EnumValues");
  for (const std::string& entry : EnumValues) {
    CDataNode* pair = enums->AddChild("EnumValue");
    WriteStringUTF8(*pair, "Name", NameOf(entry));
    WriteStringUTF8(*pair, "Value", ValueOf(entry));
  }
  WriteStringUTF8(node, "DefaultValue", DefaultValue);
  WriteBool(node, "ShowInNjDetails", ShowInNjDetails);
  CDataNode* deps = node.AddChild("Dependencies");
  for (const std::string& id : Dependencies) WriteStringUTF8(*deps, "Dependency", id);
}

bool CRSParameter::Load(const CDataNode& node, int /*mode*/) {
  ReadStringInto(node, "ID", &ID);
  if (ID.empty()) return false;
  const Children children(node);
  const CRSParameter* standard = Pool ? Pool->StandardParameters.Contains(ID) : nullptr;
  if (standard && standard != this) {
    CopyFrom(*standard);
    LoadCommon(node);
    Standard = true;
    if (!Inherited) LoadPresentation(children, *this);
  } else {
    LoadCommon(node);
    // A parameter starts from the defaults, not from what a matched earlier
    // load left: an inherited one reads none of these, and would otherwise be
    // written with the attributes of what it was before.
    const CRSParameter& defaults = Defaults();
    Type = defaults.Type;
    TypeFlags = defaults.TypeFlags;
    if (!Inherited) {
      Read(children.of[kType], &Type);
      Read(children.of[kTypeFlags], &TypeFlags);
    }
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
    if (!Inherited) LoadPresentation(children, *this);
    Standard = false;
    Settable = true;
  }
  if (const CDataNode* enums = children.of[kEnumValues]) {
    const size_t most = EnumValues.size() + enums->GetChildCount();
    EnumValues.reserve(most);
    const bool indexed = most >= kIndexFrom;
    std::unordered_map<std::string, size_t> index;
    for (size_t i = 0; indexed && i < EnumValues.size(); ++i)
      index.emplace(NameOf(EnumValues[i]), i);
    for (const CDataNode* pair : enums->GetChildren()) {
      if (pair->GetNameUTF8() != kEnumValue) continue;
      std::string entry = ReadStringUTF8(*pair, "Name");
      const size_t nameLength = entry.size();
      // The first entry of a name is the one replaced; a name holding "="
      // never matches an entry and is always added.
      const bool plain = entry.find('=') == std::string::npos;
      entry += '=';
      entry += ReadStringUTF8(*pair, "Value");
      size_t at = EnumValues.size();
      if (indexed) {
        const auto found = index.emplace(NameOf(entry), at);
        if (plain) at = found.first->second;
      } else if (plain) {
        at = FindEnum(EnumValues, entry.data(), nameLength);
      }
      if (at == EnumValues.size()) {
        EnumValues.push_back(std::move(entry));
      } else {
        EnumValues[at] = std::move(entry);
      }
    }
  }
  if (const CDataNode* deps = children.of[kDependencies]) {
    const size_t most = Dependencies.size() + deps->GetChildCount();
    Dependencies.reserve(most);
    const bool indexed = most >= kIndexFrom;
    std::unordered_set<std::string> known;
    if (indexed) known.insert(Dependencies.begin(), Dependencies.end());
    for (const CDataNode* dep : deps->GetChildren()) {
      if (dep->GetNameUTF8() != kDependency) continue;
      std::string id = TextUTF8(*dep);
      if (utf8text::Equals(ID, id.data(), id.size())) continue;
      const bool fresh = indexed ? known.insert(id).second
                                 : std::find(Dependencies.begin(), Dependencies.end(), id) ==
                                       Dependencies.end();
      if (fresh) Dependencies.push_back(std::move(id));
    }
  }
  return true;
}

void CRSParameter::Reset() { CopyFrom(Defaults()); }

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

void CRSParameter::AddEnumValue(const std::string& name, const std::string& value) {
  std::string entry = name + "=" + value;
  const size_t at = FindEnum(EnumValues, name.data(), name.size());
  if (at == EnumValues.size()) {
    EnumValues.push_back(std::move(entry));
  } else {
    EnumValues[at] = std::move(entry);
  }
}

void CRSParameter::AddDependency(const std::string& id) {
  if (id == utf8text::From(ID) ||
      std::find(Dependencies.begin(), Dependencies.end(), id) != Dependencies.end()) {
    return;
  }
  Dependencies.push_back(id);
}

void CRSParameter::GetEnumNames(std::vector<std::string>& names) const {
  for (const std::string& entry : EnumValues) names.push_back(NameOf(entry));
}

std::string CRSParameter::GetEnumValue(const std::string& name) const {
  const size_t at = FindEnum(EnumValues, name.data(), name.size());
  return at == EnumValues.size() ? std::string() : ValueOf(EnumValues[at]);
}

void CRSParameter::GetDependencies(std::vector<std::string>& ids) const {
  ids.insert(ids.end(), Dependencies.begin(), Dependencies.end());
}

bool CRSParameter::IsSplitting() const {
  if (Type == kInteger && SplittableList && (TypeFlags & kFlagMultiValue) == 0) return true;
  return ForceSplitting;
}
