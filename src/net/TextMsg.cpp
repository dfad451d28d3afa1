#include "net/TextMsg.h"

#include "net/MemoryStream.h"

wxIMPLEMENT_DYNAMIC_CLASS(CTextMsg, CCompressedMsgBase);

CTextMsg::CTextMsg() { SetType(kType); }

bool CTextMsg::WriteData(CMemoryStream& stream) {
  return stream.WriteString(text1) && stream.WriteString(text2);
}

bool CTextMsg::ReadData(CMemoryStream& stream) {
  stream.ReadString(text1) && stream.ReadString(text2);
  return true;
}
