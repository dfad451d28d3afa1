#include "net/MsgBase.h"

#include "net/MemoryStream.h"
#include "platform/UniqueCast.h"

wxIMPLEMENT_DYNAMIC_CLASS(CMsgBase, wxObject);

bool CMsgBase::ReadText(CMemoryStream& stream, wxString& text) {
  if (stream.NextStringLength() > kMaxTextBytes) {
    SetOverLimit();
    return false;
  }
  return stream.ReadString(text);
}

bool CMsgBase::Serialize(CMemoryStream& stream) {
  stream.Rewind();
  if (stream.IsReading()) {
    m_overLimit = false;
    if (m_raw) stream.Skip(4);
    stream.ReadInt32(m_type);
    stream.ReadUInt32(m_serial);
    return ReadBody(stream);
  }
  if (m_raw && !stream.WriteUInt32(0)) return false;
  if (!stream.WriteInt32(m_type) || !stream.WriteUInt32(m_serial) || !WriteBody(stream))
    return false;
  if (m_raw) stream.PatchLength();
  return true;
}

bool CMsgBase::WriteBody(CMemoryStream&) { return true; }

bool CMsgBase::ReadBody(CMemoryStream&) { return true; }

std::unique_ptr<CMsgBase> CMsgBase::Clone() const {
  std::unique_ptr<CMsgBase> copy =
      UniqueCast<CMsgBase>(std::unique_ptr<wxObject>(GetClassInfo()->CreateObject()));
  if (!copy) return nullptr;
  CMemoryStream stream(CMemoryStream::kWrite);
  CMsgBase& self = const_cast<CMsgBase&>(*this);
  bool ok = self.Serialize(stream);
  stream.SetMode(CMemoryStream::kRead);
  copy->SetRaw(m_raw);
  ok = ok && copy->Serialize(stream);
  if (!ok) return nullptr;
  return copy;
}

wxString CMsgBase::EventName(wxInt32 type) { return wxString::Format(wxT("evNetMsg::%i"), type); }
