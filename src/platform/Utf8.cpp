#include "platform/Utf8.h"

#include <vector>

namespace utf8text {

void Append(std::string* out, const wxString& text) {
  const wchar_t* p = text.wc_str();
  const size_t n = text.length();
  out->reserve(out->size() + n);
  for (size_t i = 0; i < n; ++i) {
    uint32_t c = static_cast<uint32_t>(p[i]);
    if (c < 0x80) {
      out->push_back(static_cast<char>(c));
      continue;
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
}

std::string From(const wxString& text) {
  std::string out;
  Append(&out, text);
  return out;
}

wxString ToWx(const char* data, size_t length) {
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
    const unsigned char b = s[i];
    if (b < 0x80) {
      out[n++] = static_cast<wchar_t>(b);
      ++i;
      continue;
    }
    size_t extra;
    uint32_t c;
    uint32_t min;
    if ((b & 0xE0) == 0xC0) {
      extra = 1, c = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, c = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, c = b & 0x07, min = 0x10000;
    } else {
      out[n++] = 0xFFFD;
      ++i;
      continue;
    }
    size_t k = 1;
    for (; k <= extra && i + k < length && (s[i + k] & 0xC0) == 0x80; ++k) c = (c << 6) | (s[i + k] & 0x3F);
    if (k <= extra || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out[n++] = 0xFFFD;
      i += k;
      continue;
    }
    out[n++] = static_cast<wchar_t>(c);
    i += k;
  }
  return wxString(out, n);
}

bool IsValid(const char* data, size_t length) {
  const auto* s = reinterpret_cast<const unsigned char*>(data);
  for (size_t i = 0; i < length;) {
    const unsigned char b = s[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    size_t extra;
    uint32_t c;
    uint32_t min;
    if ((b & 0xE0) == 0xC0) {
      extra = 1, c = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2, c = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3, c = b & 0x07, min = 0x10000;
    } else {
      return false;
    }
    if (length - i <= extra) return false;  // the sequence is cut short
    for (size_t k = 1; k <= extra; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return false;
      c = (c << 6) | (s[i + k] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

}  // namespace utf8text
