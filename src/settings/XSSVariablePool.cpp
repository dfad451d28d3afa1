#include "settings/XSSVariablePool.h"

#include "settings/ExtendedSettingsScript.h"

void UXSSVariablePool::Add(std::unique_ptr<UXSSVariable> variable) {
  for (auto it = m_variables.begin(); it != m_variables.end();) {
    if ((*it)->section == variable->section && (*it)->key == variable->key) {
      it = m_variables.erase(it);
    } else {
      ++it;
    }
  }
  m_variables.push_back(std::move(variable));
}

void UXSSVariablePool::AddVariable(int* target, const wxString& section, const wxString& key) {
  auto v = std::make_unique<UXSSVariable>();
  v->type = UXSSValue::kInteger;
  v->integerTarget = target;
  v->section = section;
  v->key = key;
  Add(std::move(v));
}

void UXSSVariablePool::AddVariable(double* target, const wxString& section, const wxString& key) {
  auto v = std::make_unique<UXSSVariable>();
  v->type = UXSSValue::kReal;
  v->realTarget = target;
  v->section = section;
  v->key = key;
  Add(std::move(v));
}

void UXSSVariablePool::AddVariable(bool* target, const wxString& section, const wxString& key) {
  auto v = std::make_unique<UXSSVariable>();
  v->type = UXSSValue::kBoolean;
  v->booleanTarget = target;
  v->section = section;
  v->key = key;
  Add(std::move(v));
}

void UXSSVariablePool::AddVariable(wxString* target, const wxString& section, const wxString& key) {
  auto v = std::make_unique<UXSSVariable>();
  v->type = UXSSValue::kString;
  v->stringTarget = target;
  v->section = section;
  v->key = key;
  Add(std::move(v));
}

bool UXSSVariablePool::Exchange(bool load) {
  if (m_fileName.empty()) return false;
  return load ? LoadAll() : SaveAll();
}

bool UXSSVariablePool::LoadAll() {
  UExtendedSettingsScript document;
  if (!document.Load(m_fileName, UExtendedSettingsScript::kIni)) return false;
  for (const auto& v : m_variables) {
    UXSSSection* section = document.GetRootSection().FindSection(v->section, false);
    switch (v->type) {
      case UXSSValue::kInteger:
        if (v->integerTarget == nullptr) return false;
        if (section) *v->integerTarget = section->GetInt(v->key, *v->integerTarget);
        break;
      case UXSSValue::kReal:
        if (v->realTarget == nullptr) return false;
        if (section) *v->realTarget = section->GetDouble(v->key, *v->realTarget);
        break;
      case UXSSValue::kBoolean:
        if (v->booleanTarget == nullptr) return false;
        if (section) *v->booleanTarget = section->GetBool(v->key, *v->booleanTarget);
        break;
      case UXSSValue::kString:
        if (v->stringTarget == nullptr) return false;
        if (section) *v->stringTarget = section->GetString(v->key, *v->stringTarget);
        break;
      default:
        return false;
    }
  }
  return true;
}

bool UXSSVariablePool::SaveAll() {
  UExtendedSettingsScript document;
  bool complete = true;
  for (const auto& v : m_variables) {
    UXSSSection* section = document.GetRootSection().FindSection(v->section, true);
    if (v->type == UXSSValue::kInteger && v->integerTarget) {
      section->SetInt(v->key, *v->integerTarget);
    } else if (v->type == UXSSValue::kReal && v->realTarget) {
      section->SetDouble(v->key, *v->realTarget);
    } else if (v->type == UXSSValue::kBoolean && v->booleanTarget) {
      section->SetBool(v->key, *v->booleanTarget);
    } else if (v->type == UXSSValue::kString && v->stringTarget) {
      section->SetString(v->key, *v->stringTarget);
    } else {
      complete = false;
      break;
    }
  }
  // An incomplete pass writes nothing: the file is written whole or not at all.
  return complete && document.Save(m_fileName, UExtendedSettingsScript::kIni);
}
