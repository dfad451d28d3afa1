// A list of texts given as UTF-8, the way arguments and the server's lists
// reach the program.
#pragma once

#include <wx/arrstr.h>

#include <vector>

inline wxArrayString Strings(const std::vector<const char*>& items) {
  wxArrayString list;
  for (const char* item : items) list.Add(wxString::FromUTF8(item));
  return list;
}
