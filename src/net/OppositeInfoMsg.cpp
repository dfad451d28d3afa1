#include "net/OppositeInfoMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(COppositeInfoMsg, CGenericMsg);

bool COppositeInfoMsg::WriteBody(CMemoryStream& stream) {
  return stream.WriteString(alias) && stream.WriteString(computerName) &&
         stream.WriteString(thirdText) && stream.WriteUInt16(kind) && stream.WriteUInt32(build) &&
         stream.WriteUInt32(0) && stream.WriteUInt64(physicalMemory);
}

bool COppositeInfoMsg::ReadBody(CMemoryStream& stream) {
  if (!ReadText(stream, alias) && IsOverLimit()) return false;
  if (!ReadText(stream, computerName) && IsOverLimit()) return false;
  if (!ReadText(stream, thirdText) && IsOverLimit()) return false;
  stream.ReadUInt16(kind);
  stream.ReadUInt32(build);
  wxUint32 reserved = 0;
  stream.ReadUInt32(reserved);
  stream.ReadUInt64(physicalMemory);
  return true;
}
