#include "net/BaseSocketMsg.h"

bool CBaseSocketMsg::Build(wxUint32 serial, wxUint32 partIndex, wxUint32 partCount,
                           const wxUint8* payload, wxUint32 length) {
  Clear();
  m_serial = serial;
  m_partIndex = partIndex;
  m_partCount = partCount;
  return WriteUInt32(length + kHeaderSize) && WriteUInt32(serial) && WriteUInt32(partIndex) &&
         WriteUInt32(partCount) && Write(payload, length);
}

bool CBaseSocketMsg::DecodeHeader() {
  if (Size() < kHeaderSize) return false;
  Rewind();
  wxUint32 length = 0;
  ReadUInt32(length);
  ReadUInt32(m_serial);
  ReadUInt32(m_partIndex);
  ReadUInt32(m_partCount);
  return true;
}
