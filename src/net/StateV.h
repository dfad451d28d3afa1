// A 32-bit set of state bits, as a connection keeps its progress (challenge
// sent, challenged, peer information received, user data received).
#pragma once

#include <wx/object.h>

class CStateV : public wxObject {
 public:
  void Set(wxUint32 bits) { m_value |= bits; }
  void Clear(wxUint32 bits) { m_value &= ~bits; }
  void SetAndClear(wxUint32 set, wxUint32 clear) { m_value = (m_value | set) & ~clear; }
  void Assign(wxUint32 value) { m_value = value; }
  // True only when every one of `bits` is set.
  bool Has(wxUint32 bits) const { return (m_value & bits) == bits; }
  wxUint32 Get() const { return m_value; }

 private:
  wxUint32 m_value = 0;
};
