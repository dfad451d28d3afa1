#include "net/MsgBase.h"

#include "net/MemoryStream.h"

wxIMPLEMENT_DYNAMIC_CLASS(CMsgBase, wxObject);

bool CMsgBase::Serialize(CMemoryStream& stream) {
  return stream.IsReading() ? ReadFrom(stream) : WriteTo(stream);
}

bool CMsgBase::ReadFrom(CMemoryStream& stream) {
  stream.Rewind();
  m_overLimit = false;
  if (m_raw) stream.Skip(4);
  stream.ReadInt32(m_type);
  stream.ReadUInt32(m_serial);
  return ReadBody(stream);
}

bool CMsgBase::WriteTo(CMemoryStream& stream) const {
  stream.Rewind();
  if (m_raw && !stream.WriteUInt32(0)) return false;
  if (!stream.WriteInt32(m_type) || !stream.WriteUInt32(m_serial) || !WriteBody(stream))
    return false;
  if (m_raw) stream.PatchLength();
  return true;
}

bool CMsgBase::WriteBody(CMemoryStream&) const { return true; }

bool CMsgBase::ReadBody(CMemoryStream&) { return true; }

CMsgBase* CMsgBase::Clone() const {
  wxObject* object = GetClassInfo()->CreateObject();
  CMsgBase* copy = dynamic_cast<CMsgBase*>(object);
  if (!copy) {
    delete object;
    return nullptr;
  }
  CMemoryStream stream(CMemoryStream::kReadWrite);
  copy->SetRaw(m_raw);
  if (!WriteTo(stream) || !copy->ReadFrom(stream)) {
    delete copy;
    return nullptr;
  }
  return copy;
}

wxString CMsgBase::EventName(wxInt32 type) { return wxString::Format(wxT("evNetMsg::%i"), type); }
