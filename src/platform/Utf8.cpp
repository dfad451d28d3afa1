#include "platform/Utf8.h"

#include <vector>

namespace utf8text {

void AppendCodePoint(std::string* out, uint32_t c) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
    return;
  }
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
  if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
  } else if (c < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (c >> 18)));
    out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
  }
  out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
}

void Append(std::string* out, const wxString& text) {
  const wchar_t* p = text.wc_str();
  const size_t n = text.length();
  out->reserve(out->size() + n);
  for (size_t i = 0; i < n; ++i) AppendCodePoint(out, static_cast<uint32_t>(p[i]));
}

std::string From(const wxString& text) {
  std::string out;
  Append(&out, text);
  return out;
}

namespace {

// Decodes the sequence at s[i]. True with the code point in *c and its length
// in *used; false for a sequence that is not UTF-8 (a stray byte, one cut
// short, an overlong form, a surrogate or beyond U+10FFFF), with *used the
// bytes that make up the one invalid character.
bool DecodeAt(const unsigned char* s, size_t length, size_t i, uint32_t* c, size_t* used) {
  const unsigned char b = s[i];
  *used = 1;
  if (b < 0x80) {
    *c = b;
    return true;
  }
  size_t extra;
  uint32_t min;
  if ((b & 0xE0) == 0xC0) {
    extra = 1, *c = b & 0x1F, min = 0x80;
  } else if ((b & 0xF0) == 0xE0) {
    extra = 2, *c = b & 0x0F, min = 0x800;
  } else if ((b & 0xF8) == 0xF0) {
    extra = 3, *c = b & 0x07, min = 0x10000;
  } else {
    return false;
  }
  size_t k = 1;
  for (; k <= extra && i + k < length && (s[i + k] & 0xC0) == 0x80; ++k)
    *c = (*c << 6) | (s[i + k] & 0x3F);
  *used = k;
  return k > extra && *c >= min && *c <= 0x10FFFF && !(*c >= 0xD800 && *c <= 0xDFFF);
}

}  // namespace

wxString ToWx(const char* data, size_t length) {
  wxString text;
  Assign(&text, data, length);
  return text;
}

void Assign(wxString* text, const char* data, size_t length) {
  const auto* s = reinterpret_cast<const unsigned char*>(data);
  wchar_t stackBuffer[256];
  std::vector<wchar_t> heapBuffer;
  wchar_t* out = stackBuffer;
  if (length > sizeof(stackBuffer) / sizeof(stackBuffer[0])) {
    heapBuffer.resize(length);
    out = heapBuffer.data();
  }
  size_t n = 0;
  for (size_t i = 0; i < length;) {
    if (s[i] < 0x80) {
      out[n++] = s[i++];
      continue;
    }
    uint32_t c = 0;
    size_t used = 0;
    out[n++] = DecodeAt(s, length, i, &c, &used) ? static_cast<wchar_t>(c) : 0xFFFD;
    i += used;
  }
  text->assign(out, n);
}

bool Equals(const wxString& text, const char* data, size_t length) {
  const auto* s = reinterpret_cast<const unsigned char*>(data);
  const wchar_t* p = text.wc_str();
  const size_t n = text.length();
  size_t k = 0;
  for (size_t i = 0; i < length; ++k) {
    if (k == n) return false;
    uint32_t c = s[i];
    size_t used = 1;
    if (c >= 0x80 && !DecodeAt(s, length, i, &c, &used)) c = 0xFFFD;
    if (static_cast<uint32_t>(p[k]) != c) return false;
    i += used;
  }
  return k == n;
}

int SequenceLength(const char* data, size_t length) {
  if (length == 0) return -1;
  const auto* s = reinterpret_cast<const unsigned char*>(data);
  uint32_t c = 0;
  size_t used = 0;
  if (DecodeAt(s, length, 0, &c, &used)) return static_cast<int>(used);
  // Cut short: a lead byte followed only by continuation bytes, fewer than it
  // announces.
  size_t needed = 0;
  if ((s[0] & 0xE0) == 0xC0) {
    needed = 2;
  } else if ((s[0] & 0xF0) == 0xE0) {
    needed = 3;
  } else if ((s[0] & 0xF8) == 0xF0) {
    needed = 4;
  }
  return used == length && used < needed ? -1 : 0;
}

bool IsValid(const char* data, size_t length) {
  const auto* s = reinterpret_cast<const unsigned char*>(data);
  for (size_t i = 0; i < length;) {
    // Most texts are ASCII, which needs no decoding.
    if (s[i] < 0x80) {
      ++i;
      continue;
    }
    uint32_t c = 0;
    size_t used = 0;
    if (!DecodeAt(s, length, i, &c, &used)) return false;
    i += used;
  }
  return true;
}

}  // namespace utf8text
