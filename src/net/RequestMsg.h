// A request (type 1025) for a message of a given type. In mode 0 the answer
// is the requested message itself; in mode 1 it is an acknowledgement of the
// request that carries the requested message as its attached message.
#pragma once

#include "net/GenericMsg.h"

#include <wx/arrstr.h>

#include <vector>

class CRequestMsg : public CGenericMsg {
 public:
  static constexpr wxInt32 kType = 1025;
  // Memory the received lists may take together (a string counts its wide
  // characters and a fixed cost): a request beyond it is over the limit.
  static constexpr size_t kMaxListBytes = 64u * 1024 * 1024;
  static constexpr size_t kStringCost = 64;
  enum Mode : wxInt32 { kAnswerWithMessage = 0, kAnswerWithAck = 1 };

  CRequestMsg() { SetType(kType); }

  bool WriteBody(CMemoryStream& stream) override;
  bool ReadBody(CMemoryStream& stream) override;

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
