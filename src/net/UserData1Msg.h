// The second part of the user data: the client pools the user may use. Each
// pool record carries many fields; the program keeps the identifier and the
// name, joined by "|". Only reading is needed by the program; writing exists
// so that tests and tools can build the message.
#pragma once

#include <wx/arrstr.h>

#include "net/CompressedMsgBase.h"

class CUserData1Msg : public CCompressedMsgBase {
 public:
  static constexpr wxInt32 kType = 9;

  CUserData1Msg();

  // Identifier "|" name of each pool, in the order received.
  wxArrayString pools;

 protected:
  bool WriteData(CMemoryStream& stream) override;
  bool ReadData(CMemoryStream& stream) override;

 private:
  wxDECLARE_DYNAMIC_CLASS(CUserData1Msg);
};
