// The base of data-carrying messages whose body is compressed: the class
// writes and reads its fields in WriteData/ReadData, and the body on the wire
// is the compressed length, the uncompressed length and the zlib stream
// (level 9, always, however short). An uncompressed length above 256 MiB is
// refused before anything is allocated.
#pragma once

#include "net/GenericMsg.h"

class CCompressedMsgBase : public CGenericMsg {
 public:
  bool WriteBody(CMemoryStream& stream) const override;
  bool ReadBody(CMemoryStream& stream) override;

  // The uncompressed fields of the derived class.
  virtual bool WriteData(CMemoryStream& stream) const;
  virtual bool ReadData(CMemoryStream& stream);

 private:
  wxDECLARE_DYNAMIC_CLASS(CCompressedMsgBase);
};
