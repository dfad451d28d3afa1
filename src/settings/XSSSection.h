// A section of a settings script: named child sections and typed values, both
// in insertion order and owned by the section. Values are addressed by a key
// in this section or by "section.path::key" relative to it. Names compare
// with case; the first value of a name in a section wins.
#pragma once

#include <wx/string.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "settings/XSSValue.h"

class UXSSSection;
using UXSSValueList = std::vector<std::unique_ptr<UXSSValue>>;
using UXSSSectionList = std::vector<std::unique_ptr<UXSSSection>>;

class UXSSSection {
 public:
  explicit UXSSSection(const wxString& name = wxString(), UXSSSection* parent = nullptr)
      : m_name(name), m_parent(parent) {}

  // Frees the whole subtree without recursion, however deep it is.
  ~UXSSSection();

  UXSSSection(const UXSSSection&) = delete;
  UXSSSection& operator=(const UXSSSection&) = delete;

  const wxString& GetName() const { return m_name; }
  UXSSSection* GetParent() const { return m_parent; }
  // The names of all ancestors and this section joined with ".", from the
  // root on: "root.RemoteController.Server".
  wxString GetFullName() const;

  // Children and values in insertion order, for iteration.
  const UXSSSectionList& GetSections() const { return m_sections; }
  const UXSSValueList& GetValues() const { return m_values; }
  bool HasValues() const { return !m_values.empty(); }

  // Deletes all values and child sections.
  void Clear();

  // The child of exactly this name, or null.
  UXSSSection* FindChild(const wxString& name) const;
  // The section at a dotted path below this one ("A.B"), or null; with
  // `create` the missing sections are created. An empty path is this section.
  UXSSSection* FindSection(const wxString& path, bool create = false);
  // Walks the dotted path, creating every missing component; empty components
  // are skipped.
  UXSSSection* CreateSections(const wxString& path);

  // "key" in this section or "section.path::key"; null when either is missing.
  UXSSValue* FindValue(const wxString& path);
  // Appends a copy unless a value of that name exists (that one stays).
  // Returns the value now stored under the name.
  UXSSValue* AddValue(const UXSSValue& value);

  // Typed reads: the value converted to the asked type; a missing value is
  // created with the default (so reading a missing key adds it).
  wxString GetString(const wxString& path, const wxString& defaultValue = wxString());
  int GetInt(const wxString& path, int defaultValue = 0);
  double GetDouble(const wxString& path, double defaultValue = 0.0);
  bool GetBool(const wxString& path, bool defaultValue = false);

  // Typed writes: set the existing value, or create the sections and the value.
  void SetString(const wxString& path, const wxString& s);
  void SetInt(const wxString& path, int n);
  void SetDouble(const wxString& path, double x);
  void SetBool(const wxString& path, bool b);

 private:
  // The value at `path`, created (with its sections) when missing.
  UXSSValue* FindOrCreateValue(const wxString& path);
  static void SplitPath(const wxString& path, wxString* section, wxString* key);

  wxString m_name;
  UXSSSection* m_parent;
  UXSSValueList m_values;
  UXSSSectionList m_sections;
  // Name lookups without scanning the lists.
  std::unordered_map<wxString, UXSSValue*> m_valueIndex;
  std::unordered_map<wxString, UXSSSection*> m_sectionIndex;
};
