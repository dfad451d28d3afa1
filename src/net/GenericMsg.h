// A message without a body. Every concrete message class derives from it (or
// from the compressed message base), and the registry creates it for type
// numbers it does not know.
#pragma once

#include "net/MsgBase.h"

class CGenericMsg : public CMsgBase {
 public:
  static constexpr wxInt32 kType = kGenericMsgType;

  CGenericMsg() { SetType(kType); }

 private:
  wxDECLARE_DYNAMIC_CLASS(CGenericMsg);
};
