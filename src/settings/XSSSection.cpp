#include "settings/XSSSection.h"

namespace {

const wxString kKeySeparator = wxT("::");

}  // namespace

wxString UXSSSection::GetFullName() const {
  wxString name = m_name;
  for (const UXSSSection* s = m_parent; s != nullptr; s = s->m_parent)
    name = s->m_name + wxT(".") + name;
  return name;
}

UXSSSection::~UXSSSection() { Clear(); }

void UXSSSection::Clear() {
  m_valueIndex.clear();
  m_sectionIndex.clear();
  m_values.clear();
  // Detach every descendant before it is destroyed, so that destroying a
  // section never has children to recurse into.
  UXSSSectionList pending = std::move(m_sections);
  m_sections.clear();
  while (!pending.empty()) {
    std::unique_ptr<UXSSSection> section = std::move(pending.back());
    pending.pop_back();
    for (auto& child : section->m_sections) pending.push_back(std::move(child));
    section->m_sections.clear();
    section->m_sectionIndex.clear();
  }
}

UXSSSection* UXSSSection::FindChild(const wxString& name) const {
  const auto it = m_sectionIndex.find(name);
  return it == m_sectionIndex.end() ? nullptr : it->second;
}

UXSSSection* UXSSSection::FindSection(const wxString& path, bool create) {
  if (create) return CreateSections(path);
  UXSSSection* current = this;
  size_t start = 0;
  while (current != nullptr && start <= path.length()) {
    size_t dot = path.find(wxT('.'), start);
    if (dot == wxString::npos) dot = path.length();
    if (dot > start) current = current->FindChild(path.substr(start, dot - start));
    start = dot + 1;
  }
  return current;
}

UXSSSection* UXSSSection::CreateSections(const wxString& path) {
  UXSSSection* current = this;
  size_t start = 0;
  while (start <= path.length()) {
    size_t dot = path.find(wxT('.'), start);
    if (dot == wxString::npos) dot = path.length();
    if (dot > start) {
      const wxString name = path.substr(start, dot - start);
      UXSSSection* child = current->FindChild(name);
      if (child == nullptr) {
        current->m_sections.push_back(std::make_unique<UXSSSection>(name, current));
        child = current->m_sections.back().get();
        current->m_sectionIndex.emplace(name, child);
      }
      current = child;
    }
    start = dot + 1;
  }
  return current;
}

void UXSSSection::SplitPath(const wxString& path, wxString* section, wxString* key) {
  const size_t separator = path.find(kKeySeparator);
  if (separator == wxString::npos) {
    section->clear();
    *key = path;
  } else {
    *section = path.substr(0, separator);
    *key = path.substr(separator + kKeySeparator.length());
  }
}

UXSSValue* UXSSSection::FindValue(const wxString& path) {
  wxString sectionPath;
  wxString key;
  SplitPath(path, &sectionPath, &key);
  UXSSSection* section = sectionPath.empty() ? this : FindSection(sectionPath, false);
  if (section == nullptr) return nullptr;
  const auto it = section->m_valueIndex.find(key);
  return it == section->m_valueIndex.end() ? nullptr : it->second;
}

UXSSValue* UXSSSection::AddValue(const UXSSValue& value) {
  const auto it = m_valueIndex.find(value.GetName());
  if (it != m_valueIndex.end()) return it->second;
  m_values.push_back(std::make_unique<UXSSValue>(value));
  UXSSValue* added = m_values.back().get();
  m_valueIndex.emplace(added->GetName(), added);
  return added;
}

UXSSValue* UXSSSection::FindOrCreateValue(const wxString& path) {
  if (UXSSValue* value = FindValue(path)) return value;
  wxString sectionPath;
  wxString key;
  SplitPath(path, &sectionPath, &key);
  return FindSection(sectionPath, true)->AddValue(UXSSValue(key));
}

wxString UXSSSection::GetString(const wxString& path, const wxString& defaultValue) {
  if (UXSSValue* value = FindValue(path)) return value->GetString();
  SetString(path, defaultValue);
  return defaultValue;
}

int UXSSSection::GetInt(const wxString& path, int defaultValue) {
  if (UXSSValue* value = FindValue(path)) return value->GetInt();
  SetInt(path, defaultValue);
  return defaultValue;
}

double UXSSSection::GetDouble(const wxString& path, double defaultValue) {
  if (UXSSValue* value = FindValue(path)) return value->GetDouble();
  SetDouble(path, defaultValue);
  return defaultValue;
}

bool UXSSSection::GetBool(const wxString& path, bool defaultValue) {
  if (UXSSValue* value = FindValue(path)) return value->GetBool();
  SetBool(path, defaultValue);
  return defaultValue;
}

void UXSSSection::SetString(const wxString& path, const wxString& s) {
  FindOrCreateValue(path)->SetString(s);
}

void UXSSSection::SetInt(const wxString& path, int n) { FindOrCreateValue(path)->SetInt(n); }

void UXSSSection::SetDouble(const wxString& path, double x) {
  FindOrCreateValue(path)->SetDouble(x);
}

void UXSSSection::SetBool(const wxString& path, bool b) { FindOrCreateValue(path)->SetBool(b); }
