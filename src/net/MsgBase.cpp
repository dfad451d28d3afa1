#include "net/MsgBase.h"

#include "net/MemoryStream.h"

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

CMsgBase* CMsgBase::Clone() const {
  wxObject* object = GetClassInfo()->CreateObject();
  CMsgBase* copy = dynamic_cast<CMsgBase*>(object);
  if (!copy) {
    delete object;
    return nullptr;
  }
  CMemoryStream stream(CMemoryStream::kWrite);
  CMsgBase& self = const_cast<CMsgBase&>(*this);
  bool ok = self.Serialize(stream);
  stream.SetMode(CMemoryStream::kRead);
  copy->SetRaw(m_raw);
  ok = ok && copy->Serialize(stream);
  if (!ok) {
    delete copy;
    return nullptr;
  }
  return copy;
}

wxString CMsgBase::EventName(wxInt32 type) { return wxString::Format(wxT("evNetMsg::%i"), type); }
