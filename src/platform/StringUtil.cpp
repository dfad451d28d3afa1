#include "platform/StringUtil.h"

namespace strutil {

wxString Trimmed(const wxString& text) {
  wxString trimmed(text);
  trimmed.Trim(true).Trim(false);
  return trimmed;
}

wxArrayString Split(const wxString& text, wxChar separator) {
  return wxSplit(text, separator, wxT('\0'));
}

wxArrayString SplitTrimmed(const wxString& text, wxChar separator) {
  wxArrayString list;
  for (const wxString& piece : Split(text, separator)) {
    const wxString item = Trimmed(piece);
    if (!item.empty()) list.Add(item);
  }
  return list;
}

}  // namespace strutil
