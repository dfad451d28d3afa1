// Conversions between wxString and UTF-8 without intermediate buffers: the
// data tree keeps its texts as UTF-8 and converts every value on the way in
// and out. Invalid input (a lone surrogate, a broken byte sequence) becomes
// U+FFFD rather than an empty text.
#pragma once

#include <wx/string.h>

#include <string>

namespace rsutf8 {

void Append(std::string* out, const wxString& text);
std::string From(const wxString& text);
wxString ToWx(const char* data, size_t length);
inline wxString ToWx(const std::string& text) { return ToWx(text.data(), text.size()); }

}  // namespace rsutf8
