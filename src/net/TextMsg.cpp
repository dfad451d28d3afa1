#include "net/TextMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(CTextMsg, CCompressedMsgBase);

CTextMsg::CTextMsg() { SetType(kType); }
