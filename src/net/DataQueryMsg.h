// The answer to a data query: one text.
#pragma once

#include "net/CompressedMsgBase.h"

class CDataQueryMsg : public CCompressedMsgBase {
 public:
  static constexpr wxInt32 kType = 24;

  CDataQueryMsg();

  wxString text;

 protected:
  bool WriteData(CMemoryStream& stream) override;
  bool ReadData(CMemoryStream& stream) override;

 private:
  wxDECLARE_DYNAMIC_CLASS(CDataQueryMsg);
};
