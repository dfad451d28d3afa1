#include "platform/Console.h"

void CConsole::OutputRule(wxChar character, int count) {
  OutputText(wxString(character, count > 0 ? count : 0) + wxT("\n"));
}

void CConsole::OutputNewLines(int count) {
  if (count > 0) OutputText(wxString(wxT('\n'), count));
}

const wxChar* CConsole::LevelPrefix(int level) {
  static const wxChar* const kPrefix[] = {wxT(""), wxT("WARNING! "), wxT("ERROR! "),
                                          wxT("DEBUG! ")};
  if (level < kLevelPlain || level > kLevelDebug) level = kLevelPlain;
  return kPrefix[level];
}
