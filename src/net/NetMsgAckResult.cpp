#include "net/NetMsgAckResult.h"

const wxChar* const CNetMsgAckResult::kTimeoutText = wxT("message timeout");

CNetMsgAckResult::CNetMsgAckResult()
    : m_text(kTimeoutText), m_data(std::make_unique<CMemoryStream>(CMemoryStream::kReadWrite)) {}

CNetMsgAckResult::CNetMsgAckResult(wxInt32 type, wxUint32 serial) : CNetMsgAckResult() {
  m_type = type;
  m_serial = serial;
}

CNetMsgAckResult::CNetMsgAckResult(const CNetMsgAckResult& other) : CNetMsgAckResult() {
  *this = other;
}

CNetMsgAckResult& CNetMsgAckResult::operator=(const CNetMsgAckResult& other) {
  if (this == &other) return *this;
  m_type = other.m_type;
  m_serial = other.m_serial;
  m_result = other.m_result;
  m_text = other.m_text;
  for (int i = 0; i < 3; ++i) m_values[i] = other.m_values[i];
  SetData(other.m_data->Data(), other.m_data->Size());
  m_attached.reset(other.m_attached ? other.m_attached->Clone() : nullptr);
  return *this;
}

CNetMsgAckResult::~CNetMsgAckResult() = default;

void CNetMsgAckResult::SetValues(wxUint32 v1, wxUint32 v2, wxUint32 v3) {
  m_values[0] = v1;
  m_values[1] = v2;
  m_values[2] = v3;
}

void CNetMsgAckResult::SetData(const wxUint8* bytes, wxUint32 size) {
  m_data->Clear();
  m_data->Write(bytes, size);
  m_data->Rewind();
}
