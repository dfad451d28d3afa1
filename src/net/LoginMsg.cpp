#include "net/LoginMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(CLoginMsg, CGenericMsg);

CLoginMsg::CLoginMsg() { SetType(kType); }
