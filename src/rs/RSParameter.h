// One render setting that a renderer version accepts (a frame list, an image
// width, a camera). A parameter whose ID is one of the pool's built-in
// standard parameters takes its definition from there; a renderer may only
// change how such a parameter is shown.
//
// The texts other than the ID are held as UTF-8, the form the data tree keeps
// them in: a pool holds tens of thousands of parameters, and short texts then
// live in the parameter itself. A caller that shows one converts it
// (utf8text::ToWx). The ID stays a wxString: it keys the parameter lists and
// the render sets.
#pragma once

#include "rs/RSComponent.h"

#include <cstdint>
#include <string>
#include <vector>

class CRSParameter : public CRSComponent {
 public:
  // Type codes.
  enum { kText = 0, kInteger = 1, kNumber = 2, kBoolValues = 3, kBoolSwitch = 4, kFile = 6,
         kDirectory = 7, kEnum = 8 };
  // TypeFlags bits.
  enum : uint32_t { kFlagMultiValue = 1, kFlagFrameList = 2, kFlagAddCommands = 4 };

  CRSParameter() = default;

  void Save(CDataNode& node, int mode) override;
  bool Load(const CDataNode& node, int mode) override;
  void Reset() override;
  void CopyFrom(const CRSComponent& other) override;
  wxString GetName() const override { return wxT("Parameter"); }

  // Replaces the value of an existing pair of that name, or appends one.
  void AddEnumValue(const std::string& name, const std::string& value);
  // Ignored for the parameter's own ID and for IDs already listed.
  void AddDependency(const std::string& id);
  void GetEnumNames(std::vector<std::string>& names) const;
  // The value of the first pair of that name, or empty.
  std::string GetEnumValue(const std::string& name) const;
  void GetDependencies(std::vector<std::string>& ids) const;
  // Whether a list value of this parameter is split into several jobs.
  bool IsSplitting() const;

  // The fields are ordered by size rather than as they are written: the small
  // ones fill what the base leaves, and a pool holds many parameters.
  int32_t Type = 0;
  uint32_t TypeFlags = 0;
  float MinValue = 0.0f;
  float MaxValue = 0.0f;
  bool Standard = false;
  bool Settable = true;
  bool Mandatory = false;
  bool Invisible = false;
  bool UseRange = false;
  bool SplittableList = false;
  bool ForceSplitting = false;
  bool QuoteSplits = false;
  bool ShowInNjDetails = false;
  wxString ID;
  std::string Group;
  std::string DisplayName;
  std::string Help;
  std::string ListSeparator;
  std::string TrueValue;
  std::string FalseValue;
  std::string DefaultValue;
  // "name=value" entries.
  std::vector<std::string> EnumValues;
  std::vector<std::string> Dependencies;
};
