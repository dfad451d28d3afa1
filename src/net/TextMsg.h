// Two texts from the peer (for example a message of the day after login).
#pragma once

#include "net/FieldMsg.h"

class CTextMsg : public CFieldMsg<CTextMsg, CCompressedMsgBase> {
 public:
  static constexpr wxInt32 kType = kTextMsgType;

  CTextMsg();

  wxString text1;
  wxString text2;

  template <class Io, class Self>
  static bool Fields(Io& io, Self& m) {
    return io(m.text1) && io(m.text2);
  }

 private:
  wxDECLARE_DYNAMIC_CLASS(CTextMsg);
};
