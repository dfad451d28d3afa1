#include "net/NetMsgAckResult.h"

const wxChar* const CNetMsgAckResult::kTimeoutText = wxT("message timeout");

CNetMsgAckResult::CNetMsgAckResult()
    : m_text(kTimeoutText), m_data(std::make_shared<CMemoryStream>(CMemoryStream::kReadWrite)) {}

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
  m_data = other.m_data;
  m_attached = other.m_attached;
  return *this;
}

CNetMsgAckResult::~CNetMsgAckResult() = default;

const CMsgBase* CNetMsgAckResult::GetAttached() const {
  return m_attached ? m_attached->message.get() : nullptr;
}

std::unique_ptr<CMsgBase> CNetMsgAckResult::TakeAttached() {
  std::shared_ptr<Attached> attached = std::move(m_attached);
  if (!attached || !attached->message) return nullptr;
  // Besides the local above, nobody else holds the box: the message is ours.
  if (attached.use_count() == 1) return std::move(attached->message);
  return attached->message->Clone();
}

void CNetMsgAckResult::SetAttached(std::unique_ptr<CMsgBase> message) {
  if (!message) {
    m_attached.reset();
    return;
  }
  m_attached = std::make_shared<Attached>();
  m_attached->message = std::move(message);
}

void CNetMsgAckResult::SetValues(wxUint32 v1, wxUint32 v2, wxUint32 v3) {
  m_values[0] = v1;
  m_values[1] = v2;
  m_values[2] = v3;
}

void CNetMsgAckResult::SetData(std::unique_ptr<CMemoryStream> data) {
  if (!data) data = std::make_unique<CMemoryStream>(CMemoryStream::kReadWrite);
  data->Rewind();
  m_data = std::move(data);
}

void CNetMsgAckResult::SetData(const wxUint8* bytes, wxUint32 size) {
  // Other copies may share the current stream: it is replaced, not changed.
  auto data = std::make_shared<CMemoryStream>(CMemoryStream::kReadWrite);
  data->Write(bytes, size);
  data->Rewind();
  m_data = std::move(data);
}
