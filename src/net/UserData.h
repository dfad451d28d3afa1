// What the server tells about the logged-on user: the client pools the user
// may render on, the rights, the highest priority the user may give a net job
// and the colour of the user's net jobs. Filled from the two user-data
// messages after login and cleared when the connection ends.
#pragma once

#include <wx/arrstr.h>
#include <wx/object.h>
#include <wx/string.h>

#include "net/UserRights.h"

class CUserData : public wxObject {
 public:
  static constexpr wxUint32 kDefaultJobColour = 0xFF000000;

  // Each entry is the pool's identifier, "|" and its name, in server order.
  const wxArrayString& GetPools() const { return m_pools; }
  void SetPools(const wxArrayString& pools) { m_pools = pools; }

  // The identifier of the first pool whose name equals `name` (trimmed at
  // both ends, compared with case); empty when there is none.
  wxString FindPool(const wxString& name) const;

  const wxString& GetText1() const { return m_text1; }
  const wxString& GetText2() const { return m_text2; }
  bool GetFlag() const { return m_flag; }
  void SetTexts(const wxString& text1, const wxString& text2, bool flag) {
    m_text1 = text1;
    m_text2 = text2;
    m_flag = flag;
  }

  CUserRights& GetRights() { return m_rights; }
  const CUserRights& GetRights() const { return m_rights; }

  wxInt32 GetPriorityLimit() const { return m_priorityLimit; }
  void SetPriorityLimit(wxInt32 limit) { m_priorityLimit = limit; }
  wxUint32 GetJobColour() const { return m_jobColour; }
  void SetJobColour(wxUint32 colour) { m_jobColour = colour; }

  // What a lost connection leaves: no pools and no rights.
  void Clear() {
    m_pools.Clear();
    m_rights.Set(0);
  }

 private:
  wxArrayString m_pools;
  wxString m_text1;
  wxString m_text2;
  bool m_flag = false;
  CUserRights m_rights;
  wxInt32 m_priorityLimit = 0;
  wxUint32 m_jobColour = kDefaultJobColour;
};
