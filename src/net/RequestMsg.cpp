#include "net/RequestMsg.h"

wxIMPLEMENT_DYNAMIC_CLASS(CRequestMsg, CGenericMsg);
