// A request (type 1025) for a message of a given type. In mode 0 the answer
// is the requested message itself; in mode 1 it is an acknowledgement of the
// request that carries the requested message as its attached message.
#pragma once

#include "net/FieldMsg.h"

#include <wx/arrstr.h>

#include <vector>

class CRequestMsg : public CFieldMsg<CRequestMsg> {
 public:
  static constexpr wxInt32 kType = kRequestMsgType;
  enum Mode : wxInt32 { kAnswerWithMessage = 0, kAnswerWithAck = 1 };

  CRequestMsg() { SetType(kType); }

  template <class Io, class Self>
  static bool Fields(Io& io, Self& m) {
    return io(m.mode) && io(m.requestedType) && io(m.parameter) && io(m.text1) && io(m.text2) &&
           io(m.integers) && io(m.strings);
  }

  wxInt32 mode = kAnswerWithMessage;
  wxInt32 requestedType = 0;
  wxUint32 parameter = 0;
  wxString text1;
  wxString text2;
  std::vector<wxInt32> integers;
  wxArrayString strings;

 private:
  wxDECLARE_DYNAMIC_CLASS(CRequestMsg);
};
