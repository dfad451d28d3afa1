#include "app/KfCmdLineSwitches.h"

#include "app/Version.h"
#include "platform/CaseFold.h"
#include "platform/StringUtil.h"

namespace {

constexpr size_t kHelpWidth = 55;
constexpr size_t kNameColumn = 26;

using strutil::Trimmed;

}  // namespace

void CKfCmdLineSwitches::Add(const wxString& name, const wxString& help, int group,
                             bool repeatable) {
  m_switches.push_back(CKfCmdLineSwitch{name, help, group, repeatable});
}

const CKfCmdLineSwitch* CKfCmdLineSwitches::Find(const wxString& name) const {
  for (const CKfCmdLineSwitch& s : m_switches)
    if (casefold::Equal(s.name, name)) return &s;
  return nullptr;
}

wxArrayString CKfCmdLineSwitches::WrapHelp(const wxString& help) {
  wxArrayString lines;
  wxString rest = Trimmed(help);
  while (rest.length() > kHelpWidth) {
    const size_t space = rest.rfind(wxT(' '), kHelpWidth - 1);
    wxString line;
    if (space != wxString::npos) {
      line = rest.Left(space);
      rest = rest.Mid(space + 1);
    } else {
      line = rest.Left(kHelpWidth);
      rest = rest.Mid(kHelpWidth);
    }
    line = Trimmed(line);
    if (!line.empty()) lines.Add(line);
    rest = Trimmed(rest);
  }
  if (!rest.empty()) lines.Add(rest);
  return lines;
}

wxString CKfCmdLineSwitches::FormatUsage(bool rejected) const {
  wxString out;
  out << wxT(KF_PRODUCT_NAME " - " KF_NOTICE_LINE "\n") << wxT("\n");
  out << wxT("Usage: kfrccmd [Options...] Scene1 [Scene2...]\n\n");
  out << wxString::Format(wxT("Available options (%i):\n"), static_cast<int>(m_switches.size()));
  int group = 0;
  for (const CKfCmdLineSwitch& s : m_switches) {
    if (s.help.empty()) continue;
    if (s.group != group) out << wxT("\n");
    group = s.group;
    wxString column = wxT("  -") + s.name + (s.repeatable ? wxT(" *") : wxT(""));
    if (column.length() < kNameColumn) column.append(kNameColumn - column.length(), wxT(' '));
    out << column;
    const wxArrayString lines = WrapHelp(s.help);
    for (size_t i = 0; i < lines.GetCount(); ++i) {
      if (i) out << wxT("\n") << wxString(wxT(' '), kNameColumn);
      out << lines[i];
    }
    out << wxT("\n\n");
  }
  out << wxT("\n* denotes switches that can be used multiple times\n");
  if (rejected) out << wxT("\nError! Invalid or incomplete command-line specified...\n");
  return out;
}
