// The small text helpers every layer uses, defined once: trimming and
// splitting at a separator. Whitespace is what wxString::Trim removes
// (spaces, tabs, line ends and the other ASCII white-space characters), and
// no separator is ever escaped.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

namespace strutil {

// `text` without white space at either end.
wxString Trimmed(const wxString& text);
// Every piece of `text` between separators, empty ones included.
wxArrayString Split(const wxString& text, wxChar separator);
// The pieces of `text`, each trimmed, those left empty dropped.
wxArrayString SplitTrimmed(const wxString& text, wxChar separator);

}  // namespace strutil
