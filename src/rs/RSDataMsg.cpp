#include "rs/RSDataMsg.h"

#include "net/MemoryBudget.h"
#include "net/MemoryStream.h"

wxIMPLEMENT_DYNAMIC_CLASS(CRSDataMsg, CCompressedMsgBase);

CRSDataMsg::CRSDataMsg() { SetType(kType); }

bool CRSDataMsg::AddRecord(const CRSDataCommand& record) {
  if (!record.IsValid()) return false;
  auto copy = std::make_unique<CRSDataCommand>();
  copy->Assign(record);
  m_records.push_back(std::move(copy));
  return true;
}

bool CRSDataMsg::WriteData(CMemoryStream& stream) const {
  if (!stream.WriteInt32(stamp) || !stream.WriteUInt32(static_cast<wxUint32>(m_records.size())))
    return false;
  for (const auto& r : m_records) {
    if (!(stream.WriteInt32(r->mode) && stream.WriteInt32(r->kind) &&
          stream.WriteString(r->key) && stream.WriteString(r->text))) {
      return false;
    }
  }
  return true;
}

bool CRSDataMsg::ReadData(CMemoryStream& stream) {
  m_records.clear();
  wxUint32 count = 0;
  if (!stream.ReadInt32(stamp) || !stream.ReadUInt32(count)) return true;
  // The count is the peer's word: a record ends where the bytes end.
  // Each text is weighed before it is converted (a byte becomes at most one
  // wide character).
  CMemoryBudget budget(kMaxRecordBytes, kRecordCost, sizeof(wxChar));
  for (wxUint32 i = 0; i < count; ++i) {
    auto record = std::make_unique<CRSDataCommand>();
    if (!stream.ReadInt32(record->mode) || !stream.ReadInt32(record->kind)) break;
    bool fits = budget.Charge(stream.NextStringLength());
    if (fits && !stream.ReadString(record->key)) break;
    fits = fits && budget.ChargeUnits(stream.NextStringLength());
    if (!fits) {
      m_records.clear();
      SetOverLimit();
      return false;
    }
    if (!stream.ReadString(record->text)) break;
    if (record->IsValid()) m_records.push_back(std::move(record));
  }
  return true;
}
