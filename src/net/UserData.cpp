#include "net/UserData.h"

#include "platform/StringUtil.h"

wxString CUserData::FindPool(const wxString& name) const {
  const wxString wanted = strutil::Trimmed(name);
  for (const wxString& entry : m_pools) {
    const int bar = entry.Find(wxT('|'));
    if (bar == wxNOT_FOUND) continue;
    if (entry.Mid(bar + 1) == wanted) return entry.Left(bar);
  }
  return wxString();
}
