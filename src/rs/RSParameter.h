// One render setting that a renderer version accepts (a frame list, an image
// width, a camera). A parameter whose ID is one of the pool's built-in
// standard parameters takes its definition from there; a renderer may only
// change how such a parameter is shown.
#pragma once

#include "rs/RSComponent.h"

#include <wx/arrstr.h>

#include <cstdint>

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
  void AddEnumValue(const wxString& name, const wxString& value);
  // Ignored for the parameter's own ID and for IDs already listed.
  void AddDependency(const wxString& id);
  void GetEnumNames(wxArrayString& names) const;
  // The value of the first pair of that name, or empty.
  wxString GetEnumValue(const wxString& name) const;
  void GetDependencies(wxArrayString& ids) const;
  // Whether a list value of this parameter is split into several jobs.
  bool IsSplitting() const;

  wxString ID;
  int32_t Type = 0;
  uint32_t TypeFlags = 0;
  wxString Group;
  wxString DisplayName;
  wxString Help;
  bool Standard = false;
  bool Settable = true;
  bool Mandatory = false;
  bool Invisible = false;
  wxArrayString Dependencies;
  bool UseRange = false;
  float MinValue = 0.0f;
  float MaxValue = 0.0f;
  bool SplittableList = false;
  wxString ListSeparator;
  bool ForceSplitting = false;
  bool QuoteSplits = false;
  wxString TrueValue;
  wxString FalseValue;
  // "name=value" entries.
  wxArrayString EnumValues;
  wxString DefaultValue;
  bool ShowInNjDetails = false;

 private:
  // The sixteen children a renderer may set, each defaulting to the current
  // value of its field.
  void LoadPresentation(const CDataNode& node);
};
