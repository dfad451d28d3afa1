// One event a net job carries to the server: what it applies to (scope), its
// kind, flags, a name and its lines (for example the lines of a command or a
// message). The numbers mean something to the server only; they are stored
// and forwarded unchanged.
#pragma once

#include <wx/arrstr.h>
#include <wx/object.h>
#include <wx/string.h>

class CNetJobEvent : public wxObject {
 public:
  CNetJobEvent() = default;
  CNetJobEvent(int scope, int type, int flags, const wxString& name)
      : m_scope(scope), m_type(type), m_flags(flags), m_name(name) {}
  CNetJobEvent(const CNetJobEvent&) = default;
  CNetJobEvent& operator=(const CNetJobEvent&) = default;

  int GetScope() const { return m_scope; }
  void SetScope(int scope) { m_scope = scope; }
  int GetType() const { return m_type; }
  void SetType(int type) { m_type = type; }
  int GetFlags() const { return m_flags; }
  void SetFlags(int flags) { m_flags = flags; }
  const wxString& GetName() const { return m_name; }
  void SetName(const wxString& name) { m_name = name; }
  const wxArrayString& GetContents() const { return m_contents; }
  wxArrayString& GetContents() { return m_contents; }

 private:
  int m_scope = 0;
  int m_type = 0;
  int m_flags = 0;
  wxString m_name;
  wxArrayString m_contents;
};
