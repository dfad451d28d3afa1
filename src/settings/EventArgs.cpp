#include "settings/EventArgs.h"

UEventArgs::UEventArgs() : m_values(100) {}

bool UEventArgs::Has(const wxString& name) const { return m_values.count(name) != 0; }

bool UEventArgs::Set(const wxString& name, const UVariant& value) {
  return m_values.emplace(name, value).second;
}

UVariant& UEventArgs::Get(const wxString& name) { return m_values[name]; }

const UVariant* UEventArgs::Find(const wxString& name) const {
  auto it = m_values.find(name);
  return it == m_values.end() ? nullptr : &it->second;
}
