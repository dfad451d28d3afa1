#include "net/GenericMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(CGenericMsg, CMsgBase);
