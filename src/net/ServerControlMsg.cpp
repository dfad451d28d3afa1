#include "net/ServerControlMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(CServerControlMsg, CGenericMsg);

bool CServerControlMsg::WriteBody(CMemoryStream& stream) {
  return stream.WriteUInt16(kind) && stream.WriteString(target) && stream.WriteUInt16(code) &&
         stream.WriteUInt32(number) && stream.WriteString(argument);
}

bool CServerControlMsg::ReadBody(CMemoryStream& stream) {
  // A body that ends early leaves the remaining fields as they were.
  if (stream.ReadUInt16(kind) && stream.ReadString(target) && stream.ReadUInt16(code) &&
      stream.ReadUInt32(number)) {
    stream.ReadString(argument);
  }
  return true;
}
