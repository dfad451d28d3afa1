// A message without a body. Every concrete message class derives from it (or
// from the compressed message base), and the registry creates it for type
// numbers it does not know.
#pragma once

#include "net/MsgBase.h"

class CGenericMsg : public CMsgBase {
 public:
  CGenericMsg() { SetType(0); }

 private:
  wxDECLARE_DYNAMIC_CLASS(CGenericMsg);
};
