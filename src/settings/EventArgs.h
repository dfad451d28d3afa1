// The named arguments of one event: argument name to variant. Names compare
// exactly (with case).
#pragma once

#include <wx/string.h>

#include <cstddef>
#include <unordered_map>

#include "settings/Variant.h"

class UEventArgs {
 public:
  UEventArgs();

  bool Has(const wxString& name) const;
  // Stores a copy of `value` under a name not yet present and returns true; an
  // existing entry stays as it is and the result is false.
  bool Set(const wxString& name, const UVariant& value);
  // The variant under `name`; a missing name is first added as kind none.
  UVariant& Get(const wxString& name);
  // The variant under `name`, or null when absent (never adds).
  const UVariant* Find(const wxString& name) const;
  size_t Count() const { return m_values.size(); }

  // Shorthand for the common pointer argument:
  //   event.Args().SetPointer(wxT("Message"), msg);                  // CMsgBase*
  //   CMsgBase* msg = event.Args().GetPointer<CMsgBase>(wxT("Message"));
  template <typename T>
  bool SetPointer(const wxString& name, T* p) {
    return Set(name, UVariant::FromPointer(p));
  }
  // The pointer stored under `name` as type T; null when the argument is
  // missing, not a pointer, or was stored as another type. Never adds.
  template <typename T>
  T* GetPointer(const wxString& name) const {
    const UVariant* v = Find(name);
    return v ? v->GetPointer<T>() : nullptr;
  }

 private:
  std::unordered_map<wxString, UVariant> m_values;
};
