#include "net/TextMsg.h"

#include "net/MemoryStream.h"

wxIMPLEMENT_DYNAMIC_CLASS(CTextMsg, CCompressedMsgBase);

CTextMsg::CTextMsg() { SetType(kType); }

bool CTextMsg::WriteData(CMemoryStream& stream) {
  return stream.WriteString(text1) && stream.WriteString(text2);
}

bool CTextMsg::ReadData(CMemoryStream& stream) {
  ReadText(stream, text1) && ReadText(stream, text2);
  return !IsOverLimit();
}
