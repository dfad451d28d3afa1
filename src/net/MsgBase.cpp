#include "net/MsgBase.h"

#include "net/MemoryStream.h"
#include "platform/UniqueCast.h"

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

std::unique_ptr<CMsgBase> CMsgBase::Clone() const {
  std::unique_ptr<CMsgBase> copy =
      UniqueCast<CMsgBase>(std::unique_ptr<wxObject>(GetClassInfo()->CreateObject()));
  if (!copy) return nullptr;
  CMemoryStream stream(CMemoryStream::kReadWrite);
  copy->SetRaw(m_raw);
  if (!WriteTo(stream) || !copy->ReadFrom(stream)) return nullptr;
  return copy;
}

wxString CMsgBase::EventName(wxInt32 type) { return wxString::Format(wxT("evNetMsg::%i"), type); }
