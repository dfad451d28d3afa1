#include "net/DataQueryMsg.h"

#include "net/MemoryStream.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDataQueryMsg, CCompressedMsgBase);

CDataQueryMsg::CDataQueryMsg() { SetType(kType); }

bool CDataQueryMsg::WriteData(CMemoryStream& stream) { return stream.WriteString(text); }

bool CDataQueryMsg::ReadData(CMemoryStream& stream) {
  ReadText(stream, text);
  return !IsOverLimit();
}
