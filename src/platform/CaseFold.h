// Case folding of text that does not depend on the C library's locale: under
// the C locale the standard functions fold ASCII letters only, so "Ärger"
// and "ärger" would differ. Every comparison of user-typed names "without
// regard to case" goes through here. The folding is Unicode's simple (one
// character to one character) case folding; "ß" stays "ß".
#pragma once

#include <wx/string.h>

namespace casefold {

wxUniChar Fold(wxUniChar c);
wxString Fold(const wxString& text);
// <0, 0 or >0 as the folded texts compare character by character.
int Compare(const wxString& a, const wxString& b);
inline bool Equal(const wxString& a, const wxString& b) { return Compare(a, b) == 0; }

}  // namespace casefold
