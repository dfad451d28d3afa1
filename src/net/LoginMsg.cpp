#include "net/LoginMsg.h"

#include "net/MemoryStream.h"

wxIMPLEMENT_DYNAMIC_CLASS(CLoginMsg, CGenericMsg);

CLoginMsg::CLoginMsg() { SetType(kType); }

bool CLoginMsg::WriteBody(CMemoryStream& stream) {
  return stream.WriteBool(login) && stream.WriteString(userName) && stream.WriteString(password);
}

bool CLoginMsg::ReadBody(CMemoryStream& stream) {
  // A short body leaves the missing fields as they were.
  stream.ReadBool(login) && stream.ReadString(userName) && stream.ReadString(password);
  return true;
}
