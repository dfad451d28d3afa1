#include "net/MsgAckMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(CMsgAckMsg, CGenericMsg);

CMsgAckMsg::CMsgAckMsg() : m_data(std::make_unique<CMemoryStream>(CMemoryStream::kReadWrite)) {
  SetType(kType);
}

void CMsgAckMsg::SetValues(wxUint32 v1, wxUint32 v2, wxUint32 v3) {
  m_values[0] = v1;
  m_values[1] = v2;
  m_values[2] = v3;
}

void CMsgAckMsg::SetData(const wxUint8* bytes, wxUint32 size, bool isMessage) {
  m_data->Clear();
  m_data->Write(bytes, size);
  m_data->Rewind();
  m_dataIsMessage = isMessage;
}

bool CMsgAckMsg::SetAttachedMessage(CMsgBase* message) {
  m_data->Clear();
  m_dataIsMessage = true;
  if (!message) return true;
  m_data->SetMode(CMemoryStream::kWrite);
  const bool ok = message->Serialize(*m_data);
  m_data->SetMode(CMemoryStream::kReadWrite);
  m_data->Rewind();
  if (!ok) m_data->Clear();
  return ok;
}

std::unique_ptr<CMemoryStream> CMsgAckMsg::TakeData() {
  std::unique_ptr<CMemoryStream> data = std::move(m_data);
  m_data = std::make_unique<CMemoryStream>(CMemoryStream::kReadWrite);
  data->SetMode(CMemoryStream::kReadWrite);
  data->Rewind();
  return data;
}

bool CMsgAckMsg::GetAttachedType(wxInt32* type) const {
  if (!m_dataIsMessage || m_data->Size() < 4) return false;
  if (type) *type = static_cast<wxInt32>(m_data->PeekLength());
  return true;
}

bool CMsgAckMsg::WriteBody(CMemoryStream& stream) const {
  const wxString text = m_text.length() > kMaxText ? m_text.Left(kMaxText) : m_text;
  bool ok = stream.WriteInt32(m_ackedType) && stream.WriteUInt32(m_ackedSerial) &&
            stream.WriteBool(m_result) && stream.WriteString(text) &&
            stream.WriteUInt32(m_values[0]) && stream.WriteUInt32(m_values[1]);
  if (ok && m_ackedType != kChallengeMsgType) ok = stream.WriteUInt32(m_values[2]);
  return ok && stream.WriteBool(m_dataIsMessage) && stream.WriteUInt32(m_data->Size()) &&
         stream.Write(m_data->Data(), m_data->Size());
}

bool CMsgAckMsg::ReadBody(CMemoryStream& stream) {
  stream.ReadInt32(m_ackedType);
  stream.ReadUInt32(m_ackedSerial);
  stream.ReadBool(m_result);
  stream.ReadString(m_text);
  stream.ReadUInt32(m_values[0]);
  stream.ReadUInt32(m_values[1]);
  if (m_ackedType != kChallengeMsgType) stream.ReadUInt32(m_values[2]);
  stream.ReadBool(m_dataIsMessage);
  wxUint32 length = 0;
  stream.ReadUInt32(length);
  // The data is taken only when it is really there: a length beyond the end
  // of the stream allocates nothing.
  wxUint32 available = 0;
  const wxUint8* data = stream.Remaining(&available);
  if (length > 0 && length <= available) {
    m_data->Clear();
    if (!m_data->Write(data, length)) return false;
    m_data->Rewind();
    stream.Skip(length);
  }
  return true;
}
