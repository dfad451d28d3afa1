// Two texts from the peer (for example a message of the day after login).
#pragma once

#include "net/CompressedMsgBase.h"

class CTextMsg : public CCompressedMsgBase {
 public:
  static constexpr wxInt32 kType = 3;

  CTextMsg();

  wxString text1;
  wxString text2;

 protected:
  bool WriteData(CMemoryStream& stream) override;
  bool ReadData(CMemoryStream& stream) override;

 private:
  wxDECLARE_DYNAMIC_CLASS(CTextMsg);
};
