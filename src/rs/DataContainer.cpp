#include "rs/DataContainer.h"

#include "settings/XSSSection.h"
#include "settings/XSSValue.h"

#include <algorithm>
#include <utility>
#include <vector>

CDataContainerValue CDataContainer::Get(const wxString& name) const {
  return Get(name, CDataContainerValue());
}

CDataContainerValue CDataContainer::Get(const wxString& name,
                                        const CDataContainerValue& defaultValue) const {
  auto it = m_values.find(name);
  return it == m_values.end() ? defaultValue : it->second;
}

void CDataContainer::Load(UXSSSection& section) {
  Clear();
  UXSSValue* countValue = section.FindValue(wxT("ValueCount"));
  const int count = countValue ? countValue->GetInt() : 0;
  // Walk the sub-sections that exist rather than every index up to the
  // count, which a damaged file may give as two billion.
  std::vector<std::pair<long, UXSSSection*>> found;
  for (const auto& sub : section.GetSections()) {
    const wxString& name = sub->GetName();
    long index = 0;
    if (!name.StartsWith(wxT("Value")) || !name.Mid(5).ToLong(&index)) continue;
    if (index < 1 || index > count ||
        name != wxString::Format(wxT("Value%02i"), static_cast<int>(index))) {
      continue;
    }
    found.emplace_back(index, sub.get());
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  long previous = 0;
  for (const auto& entry : found) {
    // Of two sub-sections with one name, the first is the one that counts.
    if (entry.first == previous) continue;
    previous = entry.first;
    UXSSSection* sub = entry.second;
    UXSSValue* type = sub->FindValue(wxT("Type"));
    UXSSValue* name = sub->FindValue(wxT("Name"));
    UXSSValue* text = sub->FindValue(wxT("Value"));
    CDataContainerValue value;
    value.FromText(text ? text->GetString() : wxString(), type ? type->GetInt() : 0);
    m_values[name ? name->GetString() : wxString()] = value;
  }
}
