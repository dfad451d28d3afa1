#include "net/UserData.h"

wxString CUserData::FindPool(const wxString& name) const {
  wxString wanted = name;
  wanted.Trim(true).Trim(false);
  for (const wxString& entry : m_pools) {
    const int bar = entry.Find(wxT('|'));
    if (bar == wxNOT_FOUND) continue;
    if (entry.Mid(bar + 1) == wanted) return entry.Left(bar);
  }
  return wxString();
}
