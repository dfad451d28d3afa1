#include "net/DataQueryMsg.h"

#include <cstring>

#include "net/MemoryStream.h"
#include "platform/Utf8.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDataQueryMsg, CCompressedMsgBase);

CDataQueryMsg::CDataQueryMsg() { SetType(kType); }

wxString CDataQueryMsg::GetText() const { return TextFromWire(m_bytes.data(), m_bytes.size()); }

void CDataQueryMsg::SetText(const wxString& text) {
  const wxScopedCharBuffer utf8 = text.utf8_str();
  m_bytes.assign(utf8.data(), std::strlen(utf8.data()));
}

std::string CDataQueryMsg::GetUtf8Text() const {
  if (utf8text::IsValid(m_bytes.data(), m_bytes.size())) return m_bytes;
  // The buffer belongs to the string: keep the string alive while it is read.
  const wxString text = GetText();
  const wxScopedCharBuffer utf8 = text.utf8_str();
  return std::string(utf8.data(), utf8.length());
}

std::string CDataQueryMsg::TakeUtf8Text() {
  std::string text;
  if (utf8text::IsValid(m_bytes.data(), m_bytes.size()))
    text.swap(m_bytes);
  else
    text = GetUtf8Text();
  m_bytes.clear();
  return text;
}

bool CDataQueryMsg::WriteData(CMemoryStream& stream) const {
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
