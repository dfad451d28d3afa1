// A flat set of named, typed values kept in a section of a settings script:
// "ValueCount" and one sub-section "Value01", "Value02", ... per value, each
// with "Type", "Name" and "Value". Net job presets are stored this way.
#pragma once

#include "rs/DataContainerValue.h"

#include <wx/string.h>

#include <unordered_map>

class UXSSSection;

class CDataContainer {
 public:
  // A copy of the named value, or a new (type none) value when it is absent.
  CDataContainerValue Get(const wxString& name) const;
  // A copy of the named value, or of `defaultValue` when it is absent.
  CDataContainerValue Get(const wxString& name, const CDataContainerValue& defaultValue) const;
  bool Has(const wxString& name) const { return m_values.count(name) != 0; }
  void Set(const wxString& name, const CDataContainerValue& value) { m_values[name] = value; }
  size_t GetCount() const { return m_values.size(); }
  void Clear() { m_values.clear(); }

  // Replaces the content with the values of `section`; missing sub-sections
  // are skipped, a later value of the same name replaces an earlier one. The
  // section is only read.
  void Load(UXSSSection& section);

 private:
  std::unordered_map<wxString, CDataContainerValue> m_values;
};
