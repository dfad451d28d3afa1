// The program's switch descriptors in declaration order: name, help text,
// usage group and whether the switch may repeat. The usage text is printed
// from this list; a switch with an empty help text is not listed.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

#include <vector>

struct CKfCmdLineSwitch {
  wxString name;  // without the leading "-"
  wxString help;  // empty: not listed in the usage text
  int group;      // 2 net job switches, 3 general switches
  bool repeatable;
};

class CKfCmdLineSwitches {
 public:
  void Add(const wxString& name, const wxString& help, int group, bool repeatable);
  // The descriptor of that name (any case), or null.
  const CKfCmdLineSwitch* Find(const wxString& name) const;
  size_t GetCount() const { return m_switches.size(); }
  const CKfCmdLineSwitch& Item(size_t index) const { return m_switches[index]; }

  // The usage text; `rejected` adds the closing error line.
  wxString FormatUsage(bool rejected) const;

  // Cuts a help text into lines of at most 55 characters, at the last blank
  // within the first 55 characters, or after 55 characters when there is none.
  static wxArrayString WrapHelp(const wxString& help);

 private:
  std::vector<CKfCmdLineSwitch> m_switches;
};
