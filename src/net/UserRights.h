// The rights of the logged-on user: a set of bits the server grants. A
// command that needs a right checks it here before it sends anything.
#pragma once

#include <wx/object.h>

class CUserRights : public wxObject {
 public:
  // Marking a net job urgent.
  static constexpr wxUint32 kUrgentJobs = 0x100;
  // Executing command lines on render clients.
  static constexpr wxUint32 kRemoteExecution = 0x40000;

  void Set(wxUint32 value) { m_value = value; }
  wxUint32 Get() const { return m_value; }
  // True when every one of `bits` is granted (no bits: always true).
  bool Has(wxUint32 bits) const { return (m_value & bits) == bits; }

 private:
  wxUint32 m_value = 0;
};
