#include "net/OppositeInfoMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(COppositeInfoMsg, CGenericMsg);
