#include "net/DataQueryMsg.h"

#include <cstring>

#include "net/MemoryStream.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDataQueryMsg, CCompressedMsgBase);

namespace {

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* const end = p + text.size();
  while (p < end) {
    const unsigned char c = *p;
    if (c < 0x80) {
      ++p;
      continue;
    }
    size_t follow = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      follow = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      follow = 2;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      follow = 3;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (static_cast<size_t>(end - p) <= follow) return false;
    if (p[1] < low || p[1] > high) return false;
    for (size_t i = 2; i <= follow; ++i) {
      if (p[i] < 0x80 || p[i] > 0xBF) return false;
    }
    p += follow + 1;
  }
  return true;
}

}  // namespace

CDataQueryMsg::CDataQueryMsg() { SetType(kType); }

wxString CDataQueryMsg::GetText() const { return TextFromWire(m_bytes.data(), m_bytes.size()); }

void CDataQueryMsg::SetText(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  m_bytes.assign(utf8.data(), std::strlen(utf8.data()));
}

std::string CDataQueryMsg::GetUtf8Text() const {
  if (IsValidUtf8(m_bytes)) return m_bytes;
  // The buffer belongs to the string: keep the string alive while it is read.
  const wxString text = GetText();
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

std::string CDataQueryMsg::TakeUtf8Text() {
  std::string text;
  if (IsValidUtf8(m_bytes))
    text.swap(m_bytes);
  else
    text = GetUtf8Text();
  m_bytes.clear();
  return text;
}

bool CDataQueryMsg::WriteData(CMemoryStream& stream) {
  if (m_bytes.size() >= 0xFFFFFFFFu) return false;
  return stream.Write(m_bytes.data(), static_cast<wxUint32>(m_bytes.size())) &&
         stream.WriteUInt8(0);
}

bool CDataQueryMsg::ReadData(CMemoryStream& stream) {
  // Read where it lies: the answer is copied once, into the message.
  wxUint32 left = 0;
  const wxUint8* start = stream.Remaining(&left);
  if (left == 0) return true;  // past the end: the text stays as it was
  const void* zero = std::memchr(start, 0, left);
  const wxUint32 length =
      zero ? static_cast<wxUint32>(static_cast<const wxUint8*>(zero) - start) : left;
  m_bytes.assign(reinterpret_cast<const char*>(start), length);
  stream.Skip(zero ? length + 1 : length);
  return true;
}
