#include "net/ServerControlMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(CServerControlMsg, CGenericMsg);
