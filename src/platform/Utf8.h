// Conversions between wxString and UTF-8 without intermediate buffers, for
// every text that goes to a file, a path or the data tree (which keeps its
// texts as UTF-8 and converts every value on the way in and out). Invalid input (a lone surrogate,
// a broken byte sequence) becomes U+FFFD rather than an empty text.
#pragma once

#include <wx/string.h>

#include <cstdint>
#include <string>

namespace utf8text {

void Append(std::string* out, const wxString& text);
// Appends one code point; a surrogate or one beyond U+10FFFF as U+FFFD.
void AppendCodePoint(std::string* out, uint32_t codePoint);
std::string From(const wxString& text);
wxString ToWx(const char* data, size_t length);
// *text = ToWx(data, length), into the storage `text` has: a wxString cannot
// be moved, and assigning a returned one copies it.
void Assign(wxString* text, const char* data, size_t length);
inline void Assign(wxString* text, const std::string& data) {
  Assign(text, data.data(), data.size());
}
// True when the bytes are well-formed UTF-8: shortest forms only, no encoded
// surrogates, nothing above U+10FFFF.
bool IsValid(const char* data, size_t length);
// The length of the well-formed sequence that starts the bytes; 0 when they
// do not start one; -1 when they are its beginning, cut short, and the bytes
// that follow them may complete it.
int SequenceLength(const char* data, size_t length);
inline wxString ToWx(const std::string& text) { return ToWx(text.data(), text.size()); }
// The same as text == ToWx(data, length), without making the string.
bool Equals(const wxString& text, const char* data, size_t length);

}  // namespace utf8text
